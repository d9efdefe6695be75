#pragma once

#include <QIcon>

// The icon of a folder node by its kind (0 the store root, 1 to 5 the
// special folders, 6 any other folder): the desktop theme's icon where the
// theme has one, else our own.
[[nodiscard]] QIcon FolderIcon(int kind);
