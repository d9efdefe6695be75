#pragma once

#include <QString>
#include <QStringList>

// The filter text of a file dialog from extension keys of the language
// section "FileExt" ("eml", "txt", "*.*" ...), in Qt's form: one entry per
// key, "Message files (*.eml);;Text files (*.txt)". A language text is
// written as a description and its patterns, "Message files (*.eml)|*.eml";
// the patterns are added in brackets when the description lacks them. Keys
// the language file does not hold are left out.
[[nodiscard]] QString FileDialogFilter(const QStringList& keys);
