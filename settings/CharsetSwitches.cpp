#include "settings/CharsetSwitches.h"

#include <atomic>

namespace {

std::atomic<bool> gAutoRus{false};
std::atomic<bool> gAutoRusHeader{false};

} // namespace

bool AutoRusEnabled()
{
    return gAutoRus.load(std::memory_order_relaxed);
}

void SetAutoRusEnabled(bool on)
{
    gAutoRus.store(on, std::memory_order_relaxed);
}

bool AutoRusHeaderEnabled()
{
    return gAutoRusHeader.load(std::memory_order_relaxed);
}

void SetAutoRusHeaderEnabled(bool on)
{
    gAutoRusHeader.store(on, std::memory_order_relaxed);
}
