#pragma once

#include "engine/StoreTypes.h"

#include <vector>

// The folders a browser window has shown, oldest first, and where in them
// the window stands. Going back and forward moves the position; opening
// any other folder drops everything after the position, as a web browser
// does. The history has no length limit: it holds four bytes a folder.
class TFolderHistory
{
public:
    // The window now shows the folder. A folder equal to the entry at the
    // position adds nothing (Back and Forward end here).
    void Visited(TStoreId folder);

    [[nodiscard]] bool CanGoBack() const { return !FEntries.empty() && FPosition > 0; }
    [[nodiscard]] bool CanGoForward() const
    {
        return FEntries.size() > 1 && FPosition < static_cast<int>(FEntries.size()) - 1;
    }
    // Moves the position one step and returns the folder there; kNoStoreId
    // when there is no such step.
    TStoreId GoBack();
    TStoreId GoForward();

    [[nodiscard]] const std::vector<TStoreId>& Entries() const { return FEntries; }
    [[nodiscard]] int Position() const { return FPosition; }

private:
    std::vector<TStoreId> FEntries;
    int FPosition = 0;
};
