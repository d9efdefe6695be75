#pragma once

#include <QString>
#include <QStringView>

// How a value is written after the "=" of a settings file line.
//
// A value is written as it is, backslashes included, so that a file edited
// by hand means what it says: "Path=C:\new" is those eight characters. Only
// a value that cannot stand on one line as it is (it holds a line feed, a
// carriage return or NUL), or that would read as the quoted form, is
// written quoted: in double quotes, with "\\", "\n", "\r" and "\0" for a
// backslash, line feed, carriage return and NUL. Inside the quotes any
// other backslash stays as written.
[[nodiscard]] QString EncodeIniValue(const QString& value);
[[nodiscard]] QString DecodeIniValue(QStringView text);
