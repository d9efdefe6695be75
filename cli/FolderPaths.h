#pragma once

#include "engine/StoreTypes.h"

#include <QString>
#include <QStringList>

class TOEFolder;

// Folders on the command line: "#12" names folder 12, "/" the root, and
// anything else a path of folder names from the root, such as
// "Inbox/Projects". In a name, "\/" stands for a slash and "\\" for a
// backslash ("Inbox/A\/B" is the folder "A/B" in the Inbox), and a
// backslash before any other character stands for that character ("\#1"
// is the folder "#1" at the top, not folder 1). Each name is
// compared exactly, else ignoring case. A path that no folder matches, or
// several (siblings may share a name), raises ECliError; the second lists
// their ids, which name each of them for sure.
[[nodiscard]] TStoreId ResolveFolder(TOEFolder& folders, const QString& spec);

// The names of a path, with their escapes undone (empty names skipped).
[[nodiscard]] QStringList SplitFolderPath(const QString& path);
// A name as a path writes it: "/" and "\" with a backslash before them, and
// a backslash before a "#" that begins it.
[[nodiscard]] QString EscapeFolderName(const QString& name);

// The path of a folder as ResolveFolder reads it ("Inbox/Projects").
[[nodiscard]] QString FolderPath(TOEFolder& folders, TStoreId id);

// A folder name as shown: 8-bit text of the system code page.
[[nodiscard]] QString FolderNameText(const QByteArray& name);
[[nodiscard]] QByteArray FolderNameBytes(const QString& name);
