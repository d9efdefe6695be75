#pragma once

#include "content/CharsetNames.h"

#include <QByteArray>
#include <QString>

class TWideIdEMailAddressItem;
class TWideIdEMailAddressList;

// RFC 2047 encoded words in header fields: =?charset?Q?text?= and
// =?charset?B?text?=.

// Decodes the encoded words of a header, each by its own charset. Whitespace
// between two adjacent encoded words disappears; anything that does not form
// a complete encoded word stays as it is. NUL characters are removed.
[[nodiscard]] QString DecodeEncodedWords(const QString& header);
// The same on 8-bit text, with the decoded bytes spliced in unconverted
// (ISO-2022-JP words become Shift_JIS).
[[nodiscard]] QByteArray DecodeEncodedWordsAnsi(const QByteArray& header);

// The entry point for a raw header value: encoded words decoded by their
// charsets; a value without encoded words is read in the message's charset
// (or the system code page when that is 0) and, with the option
// "AutoRusHeader" on, goes through the Russian re-detection.
[[nodiscard]] QString DecodeHeaderField(const QByteArray& value, CharsetId messageCharset);

// How header text is put into 8-bit form when a message is written.
enum class THeaderTransfer {
    Bit8,      // the text's bytes as they are
    Iso2022Jp, // Shift_JIS text turned into ISO-2022-JP first
};

// How a message writes its header text unless its view chooses otherwise:
// letter "B" ("Q" when the locale's default charset is ISO-8859-1), ISO-2022-JP
// transfer when that default is ISO-2022-JP, and the default charset's name.
struct THeaderEncoding
{
    char Letter = 'B';
    THeaderTransfer Transfer = THeaderTransfer::Bit8;
    QByteArray Charset;
};
[[nodiscard]] THeaderEncoding DefaultHeaderEncoding();

// The characters that force encoding inside an address: ()<>[]@,;:\". and
// the full stop.
[[nodiscard]] QByteArray AddressSpecials();

// Encodes the words of 8-bit text that hold a character outside printable
// ASCII (or one of `specials`) as encoded words of `charset`, with letter
// "Q" or "B"; letter "8" returns the text unencoded. Lines of encoded text
// are kept within 75 characters.
[[nodiscard]] QByteArray EncodeHeaderText(const QByteArray& text, const QByteArray& specials, char letter,
                                          THeaderTransfer transfer, const QByteArray& charset);

// One mailbox as header text: "name <address>", the name quoted or encoded
// as needed. With `addressAsName` an item without a name uses its address.
[[nodiscard]] QByteArray EncodeMailbox(const TWideIdEMailAddressItem& item, char letter, THeaderTransfer transfer,
                                       const QByteArray& charset, bool addressAsName);
// The mailboxes of a list joined by ", ".
[[nodiscard]] QByteArray EncodeMailboxList(const TWideIdEMailAddressList& list, char letter,
                                           THeaderTransfer transfer, const QByteArray& charset,
                                           bool addressAsName);
