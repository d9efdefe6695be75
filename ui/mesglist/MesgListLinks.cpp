#include "ui/mesglist/MesgListLinks.h"

#include <utility>

namespace {

IMesgListClipboard* GClipboard = nullptr;

} // namespace

IMesgListClipboard* SetMesgListClipboard(IMesgListClipboard* clipboard)
{
    return std::exchange(GClipboard, clipboard);
}

IMesgListClipboard* MesgListClipboard()
{
    return GClipboard;
}
