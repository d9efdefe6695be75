#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text files of the system (language files, advertisement samples): a byte
// order mark (UTF-16 either way, UTF-8) decides; without one the text is
// 8-bit in a numbered code page (settings/CodePages.h), the system code page
// when none is given (settings/SystemCodePage.h).

// The text of a file that begins with a byte order mark; none without one.
[[nodiscard]] std::optional<QString> DecodeByteOrderMarked(const QByteArray& bytes);
// DecodeByteOrderMarked, else 8-bit text in `codePage` (0, or a page the
// platform cannot convert: the system code page).
[[nodiscard]] QString DecodeTextFile(const QByteArray& bytes, int codePage = 0);
