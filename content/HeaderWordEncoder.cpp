#include "content/IdCoderHeader.h"

#include "settings/CodePages.h"
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

// The encoded form of one run of bytes, split into encoded words whose lines
// stay within the limit.
class TEncodedRunWriter
{
public:
    TEncodedRunWriter(QByteArray& out, const QByteArray& prefix) : FOut(out), FPrefix(prefix) {}

    void Begin()
    {
        FOut += FPrefix;
        FLineLength = FPrefix.size() + 2;
    }
    void Piece(QByteArrayView piece)
    {
        if (FLineLength + piece.size() > kEncodedLineLimit) {
            FOut += "?=\r\n ";
            Begin();
        }
        FOut += piece;
        FLineLength += piece.size();
    }
    void End() { FOut += "?="; }

private:
    QByteArray& FOut;
    const QByteArray& FPrefix;
    qsizetype FLineLength = 0;
};

void WriteEncodedRun(QByteArray& out, QByteArrayView run, char letter, const QByteArray& prefix,
                     const TByteSet& escape)
{
    TEncodedRunWriter writer(out, prefix);
    writer.Begin();
    if (letter == 'Q' || letter == 'q') {
        static constexpr char hex[] = "0123456789ABCDEF";
        for (char c : run) {
            const auto b = static_cast<unsigned char>(c);
            if (escape[b]) {
                const char piece[3] = {'=', hex[b >> 4], hex[b & 0xF]};
                writer.Piece(QByteArrayView(piece, 3));
            } else {
                writer.Piece(QByteArrayView(c == ' ' ? "_" : &c, 1));
            }
        }
    } else {
        for (qsizetype i = 0; i < run.size(); i += 3) {
            const QByteArray group = run.sliced(i, std::min<qsizetype>(3, run.size() - i)).toByteArray();
            writer.Piece(group.toBase64());
        }
    }
    writer.End();
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
    const QByteArray source = transfer == THeaderTransfer::Iso2022Jp ? ShiftJisToJis(text) : text;
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
            WriteEncodedRun(out, QByteArrayView(source).sliced(runStart, runEnd - runStart), letter, prefix, escape);
            runStart = -1;
        }
        out += QByteArrayView(source).sliced(spaceStart, i - spaceStart);
    }
    if (runStart >= 0)
        WriteEncodedRun(out, QByteArrayView(source).sliced(runStart, runEnd - runStart), letter, prefix, escape);
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
