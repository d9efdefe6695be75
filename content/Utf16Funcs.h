#pragma once

#include "content/CharsetNames.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

// Conversion of 8-bit text in a charset to UTF-16 and back. The identifier is
// reduced to its group's canonical member and dispatched to the charset's own
// converter: a single-byte table, UTF-8, UTF-16 (little-endian units), or a
// platform code page (the CJK pages, windows-125x, UTF-7). Identifier 0,
// empty text and every charset without a converter ("US-ASCII" and
// "ISO-8859-1" included) use the system code page. Conversions never fail.
[[nodiscard]] QString DecodeCharsetText(QByteArrayView bytes, CharsetId id);
[[nodiscard]] QByteArray EncodeCharsetText(QStringView text, CharsetId id);

// Decodes by a MIME charset label; empty bytes or an empty label use the
// system code page, an unknown label too.
[[nodiscard]] QString DecodeTextByName(QByteArrayView bytes, const QString& label);

// Decodes a message body; with the option "AutoRus" on, the result then
// goes through the Russian re-detection.
[[nodiscard]] QString DecodeBodyText(QByteArrayView bytes, CharsetId id);

// The charset assumed for a message that names none (or one the table does
// not hold), chosen by the language of the default locale.
[[nodiscard]] CharsetId DefaultMessageCharset();
[[nodiscard]] CharsetId DefaultCharsetForLocale(const QLocale& locale);

// The charsets a user can pick by hand, in the order of the charset dialog.
void FillCharsetChoices(QStringList& list);
// The first position whose group is the identifier's group; -1 when none.
[[nodiscard]] int CharsetChoiceIndex(CharsetId id);
// The identifier at a position of the list; 0 outside it.
[[nodiscard]] CharsetId CharsetChoiceAt(int index);
