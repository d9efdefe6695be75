#include "ui/forms/FolderHistory.h"

void TFolderHistory::Visited(TStoreId folder)
{
    if (FEntries.empty()) {
        FEntries.push_back(folder);
        return;
    }
    if (FEntries[static_cast<size_t>(FPosition)] == folder)
        return;
    ++FPosition;
    FEntries.resize(static_cast<size_t>(FPosition));
    FEntries.push_back(folder);
}

TStoreId TFolderHistory::GoBack()
{
    if (!CanGoBack())
        return kNoStoreId;
    --FPosition;
    return FEntries[static_cast<size_t>(FPosition)];
}

TStoreId TFolderHistory::GoForward()
{
    if (!CanGoForward())
        return kNoStoreId;
    ++FPosition;
    return FEntries[static_cast<size_t>(FPosition)];
}
