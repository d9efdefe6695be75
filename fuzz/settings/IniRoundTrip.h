#pragma once

#include <QByteArray>
#include <QString>

// What the settings and language file fuzzers hold the two ini readers to,
// shared with the test that replays their findings. Each returns what did
// not hold; empty when everything did. A file that a reader refuses as a
// whole is a fine answer.

// A language file: the table's text, loaded again, gives the same text;
// a numbered entry written into it (any text without line breaks, which
// the format cannot hold) reads back unchanged.
[[nodiscard]] QString CheckLanguageFile(const QByteArray& bytes);

// A settings file, read from `folder`: its text as written, read again,
// gives the same text; a value written into it (any text: line breaks,
// backslashes and NULs included) reads back unchanged after a save.
[[nodiscard]] QString CheckSettingsFile(const QByteArray& bytes, const QString& folder);
