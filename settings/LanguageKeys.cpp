#include "settings/LanguageKeys.h"

namespace {

constexpr TLanguageKey kKeys[] = {
    {"Program", "Name"},
};

} // namespace

std::span<const TLanguageKey> RequiredLanguageKeys()
{
    return kKeys;
}
