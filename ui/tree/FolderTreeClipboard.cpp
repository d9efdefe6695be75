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

bool RunFolderTask(QWidget* owner, TOEFolders& folders, const std::function<bool()>& task)
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    return clipboard ? clipboard->RunWithProgress(owner, folders, task) : task();
}
