#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

// The system code page: the 8-bit code page in which this program reads and
// writes text that carries no charset of its own (folder names, unlabelled
// header bytes, labels that name no converter). It is chosen from the user's
// locale as Windows chooses its ANSI code page; $VELLUMO_CODEPAGE (a code
// page number such as 1251) overrides the choice.

// The code page Windows would use for text of this locale (1252 when the
// locale names none of the others).
[[nodiscard]] unsigned CodePageForLocale(const QLocale& locale);

// The code page in force: the last one set, else $VELLUMO_CODEPAGE when it
// names a code page the platform converts, else the one of the default
// locale. Decided on first use.
[[nodiscard]] unsigned SystemCodePage();
// Sets the code page in force (for start-up and tests); 0 lets the next call
// of SystemCodePage() decide again. A page the platform cannot convert is
// replaced by 1252.
void SetSystemCodePage(unsigned codePage);

// Plain conversion: 8-bit text through the system code page to UTF-16 and
// back.
[[nodiscard]] QString DecodeSystemText(QByteArrayView bytes);
[[nodiscard]] QByteArray EncodeSystemText(QStringView text);
