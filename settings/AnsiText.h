#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Conversion of 8-bit text in a numbered code page, as the language files,
// the advertisement samples and other files of the system hold it.
//
// The "system code page" is chosen from the user's locale the way the
// desktop system of the original platform chooses its ANSI code page
// (Russian 1251, Greek 1253, Japanese 932, ..., otherwise 1252);
// $VELLUMO_CODEPAGE overrides it.

// The system code page (computed once per run).
[[nodiscard]] int AnsiCodePage();
// The code page a locale name such as "ru_RU" or "zh_TW" implies.
[[nodiscard]] int CodePageForLocale(const QString& localeName);
// Bytes in `codePage` (0: the system code page) as Unicode text. A byte
// sequence that does not decode becomes U+FFFD; a code page that cannot be
// converted falls back to the system code page, then to Latin-1.
[[nodiscard]] QString DecodeAnsiText(QByteArrayView bytes, int codePage = 0);
// Unicode text as bytes in `codePage` (0: the system code page); characters
// the code page lacks become "?".
[[nodiscard]] QByteArray EncodeAnsiText(QStringView text, int codePage = 0);

// The text of bytes that begin with a byte-order mark (UTF-16 little- or
// big-endian, UTF-8), without the mark; nothing when there is no mark.
[[nodiscard]] std::optional<QString> DecodeByteOrderMarked(const QByteArray& bytes);
// DecodeByteOrderMarked, else 8-bit text in `codePage` (0: the system code page).
[[nodiscard]] QString DecodeTextFile(const QByteArray& bytes, int codePage = 0);
