#include "content/IdCoderHeader.h"

#include "settings/CodePages.h"
#include "content/EncodedWordSplitter.h"
#include "content/Iso2022Jp.h"
#include "content/Utf16Funcs.h"
#include "content/WideIdEMailAddress.h"

#include <algorithm>
#include <array>

namespace {

constexpr unsigned kShiftJisCodePage = 932;
constexpr int kEncodedLineLimit = 75;

bool IsHeaderSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Narrows text for a header in the given charset: Shift_JIS for the
// ISO-2022-JP transfer (which converts it further), else the charset's own
// encoding.
QByteArray NarrowForHeader(const QString& text, THeaderTransfer transfer, const QByteArray& charset)
{
    if (transfer == THeaderTransfer::Iso2022Jp)
        return UnicodeToCodePage(text, kShiftJisCodePage);
    return EncodeCharsetText(text, CharsetFromName(NormalizeCharsetName(QString::fromLatin1(charset))));
}

using TByteSet = std::array<bool, 256>;

constexpr char kHex[] = "0123456789ABCDEF";

// The Q form of bytes: an escaped byte as "=" and two hex digits, a space as "_".
QByteArray QEncoded(QByteArrayView bytes, const TByteSet& escape)
{
    QByteArray out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (escape[b])
            out.append('=').append(kHex[b >> 4]).append(kHex[b & 0xF]);
        else
            out += c == ' ' ? '_' : c;
    }
    return out;
}

// Writes a run as encoded words of whole characters, one line each, every
// line within the limit (the prefix and the closing "?=" counted).
void WriteEncodedRun(QByteArray& out, QByteArrayView run, char letter, const QByteArray& prefix,
                     const TByteSet& escape, const QByteArray& charset, bool jis)
{
    const bool q = letter == 'Q' || letter == 'q';
    const auto cost = [&](QByteArrayView word) {
        return q ? QEncoded(word, escape).size() : (word.size() + 2) / 3 * 4;
    };
    const std::vector<QByteArray> words =
        SplitEncodedRun(run, charset, jis, cost, kEncodedLineLimit - prefix.size() - 2);
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            out += "\r\n ";
        out += prefix + (q ? QEncoded(words[i], escape) : words[i].toBase64()) + "?=";
    }
}

} // namespace

THeaderEncoding DefaultHeaderEncoding()
{
    const CharsetId charset = DefaultMessageCharset();
    const CharsetId canonical = CanonicalCharset(charset);
    THeaderEncoding encoding;
    encoding.Charset = CharsetName(charset).toLatin1();
    if (canonical == CanonicalCharset(CharsetFromName(QStringLiteral("ISO-8859-1"))))
        encoding.Letter = 'Q';
    if (canonical == CanonicalCharset(CharsetFromName(QStringLiteral("ISO-2022-JP"))))
        encoding.Transfer = THeaderTransfer::Iso2022Jp;
    return encoding;
}

QByteArray AddressSpecials()
{
    return QByteArrayLiteral("()<>[]@,;:\\\".");
}

QByteArray EncodeHeaderText(const QByteArray& text, const QByteArray& specials, char letter,
                            THeaderTransfer transfer, const QByteArray& charset)
{
    const bool jis = transfer == THeaderTransfer::Iso2022Jp;
    const QByteArray source = jis ? ShiftJisToJis(text) : text;
    if (letter == '8')
        return source;

    TByteSet needsEncoding{};
    for (int b = 0; b < 256; ++b)
        needsEncoding[b] = b < 32 || b >= 127;
    for (char c : specials)
        needsEncoding[static_cast<unsigned char>(c)] = true;
    // Text that would itself read as an encoded word gets its "=" encoded.
    if (DecodeEncodedWordsAnsi(source) != source)
        needsEncoding['='] = true;
    TByteSet escape = needsEncoding;
    escape['='] = escape['?'] = escape['_'] = true;

    const QByteArray prefix = "=?" + charset + '?' + letter + '?';
    QByteArray out;
    out.reserve(source.size() * 2);
    qsizetype runStart = -1;
    qsizetype runEnd = -1;
    const qsizetype n = source.size();
    // Segments: a run of whitespace followed by a word. Words that need
    // encoding join one encoded run together with the whitespace between them.
    for (qsizetype i = 0; i < n;) {
        const qsizetype spaceStart = i;
        while (i < n && IsHeaderSpace(source[i]))
            ++i;
        const qsizetype wordStart = i;
        bool needs = false;
        while (i < n && !IsHeaderSpace(source[i]))
            needs = needsEncoding[static_cast<unsigned char>(source[i++])] || needs;
        if (needs) {
            if (runStart < 0) {
                out += QByteArrayView(source).sliced(spaceStart, wordStart - spaceStart);
                runStart = wordStart;
            }
            runEnd = i;
            continue;
        }
        if (runStart >= 0) {
            WriteEncodedRun(out, QByteArrayView(source).sliced(runStart, runEnd - runStart), letter, prefix, escape,
                            charset, jis);
            runStart = -1;
        }
        out += QByteArrayView(source).sliced(spaceStart, i - spaceStart);
    }
    if (runStart >= 0)
        WriteEncodedRun(out, QByteArrayView(source).sliced(runStart, runEnd - runStart), letter, prefix, escape, charset,
                        jis);
    return out;
}

QByteArray EncodeMailbox(const TWideIdEMailAddressItem& item, char letter, THeaderTransfer transfer,
                         const QByteArray& charset, bool addressAsName)
{
    QString name = item.Name();
    if (addressAsName && name.isEmpty())
        name = item.Address();
    const QByteArray address = NarrowForHeader(item.Address(), transfer, charset);
    if (name.isEmpty())
        return address;
    const bool plain = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; });
    QByteArray encodedName;
    if (plain) {
        encodedName = "\"";
        for (QChar c : name) {
            if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
                encodedName += '\\';
            encodedName += static_cast<char>(c.unicode());
        }
        encodedName += '"';
    } else {
        encodedName = EncodeHeaderText(NarrowForHeader(name, transfer, charset), AddressSpecials(), letter, transfer, charset);
    }
    return encodedName + " <" + address + '>';
}

QByteArray EncodeMailboxList(const TWideIdEMailAddressList& list, char letter, THeaderTransfer transfer,
                             const QByteArray& charset, bool addressAsName)
{
    QByteArray out;
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0)
            out += ", ";
        out += EncodeMailbox(list.Item(i), letter, transfer, charset, addressAsName);
    }
    return out;
}
