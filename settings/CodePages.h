#pragma once

#include <QByteArray>
#include <QString>

// Conversion through the platform's converters, addressed by Windows code
// page numbers (874, 932, 936, 949, 950, 1250-1258, 20932, 50220-50225,
// 50930, 51932, 51949, 65000, and for files of the system also 65001,
// 20127, 20866, 21866, 28591-28606, 54936, 10000, 10007). The single-byte
// Windows pages are expanded once into tables; the others go through iconv.
//
// Decoding turns each byte (or ill-formed sequence) that the page does not
// define into U+FFFD, except that the undefined bytes 0x80-0x9F of a
// single-byte page keep their own code point, as Windows does. Encoding
// writes "?" for a character that the page lacks. Both take the whole input,
// NUL bytes included.

[[nodiscard]] bool CodePageAvailable(unsigned codePage);
[[nodiscard]] QString CodePageToUnicode(QByteArrayView bytes, unsigned codePage);
[[nodiscard]] QByteArray UnicodeToCodePage(QStringView text, unsigned codePage);
