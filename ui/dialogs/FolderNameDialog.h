#pragma once

#include <QString>

// The folder name dialogs: one editable combo box with the names typed
// before (history "Folders"). Each returns the name on OK and an empty
// text otherwise.

// "New folder", starting empty.
[[nodiscard]] QString AskNewFolderName();
// "Rename folder", starting with the folder's present name.
[[nodiscard]] QString AskFolderRename(const QString& current);
