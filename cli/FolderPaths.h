#pragma once

#include "engine/StoreTypes.h"

#include <QString>

class TOEFolder;

// Folders on the command line: "#12" names folder 12, "/" the root, and
// anything else a path of folder names from the root, such as
// "Inbox/Projects" (names compared exactly, else ignoring case when that
// leaves one match). Raises ECliError for a folder that does not exist.
[[nodiscard]] TStoreId ResolveFolder(TOEFolder& folders, const QString& spec);

// The path of a folder as ResolveFolder reads it ("Inbox/Projects").
[[nodiscard]] QString FolderPath(TOEFolder& folders, TStoreId id);

// A folder name as shown: 8-bit text of the system code page.
[[nodiscard]] QString FolderNameText(const QByteArray& name);
[[nodiscard]] QByteArray FolderNameBytes(const QString& name);
