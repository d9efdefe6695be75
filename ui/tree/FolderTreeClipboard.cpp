#include "ui/tree/FolderTreeClipboard.h"

#include <utility>

namespace {

IFolderTreeClipboard* gClipboard = nullptr;

} // namespace

IFolderTreeClipboard* FolderTreeClipboard()
{
    return gClipboard;
}

IFolderTreeClipboard* SetFolderTreeClipboard(IFolderTreeClipboard* clipboard)
{
    return std::exchange(gClipboard, clipboard);
}
