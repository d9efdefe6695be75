#include "content/IdCoderHeader.h"

#include "content/CodePages.h"
#include "content/Iso2022Jp.h"
#include "content/RusCharSets.h"
#include "content/SystemCodePage.h"
#include "content/Utf16Funcs.h"
#include "content/WideIdEMailAddress.h"
#include "settings/CharsetSwitches.h"

#include <array>

namespace {

constexpr unsigned kShiftJisCodePage = 932;
constexpr int kEncodedLineLimit = 75;
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsHeaderSpace(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Uniform access to the two text types the word decoder runs on.
char16_t At(const QString& s, qsizetype i)
{
    return s[i].unicode();
}
char16_t At(const QByteArray& s, qsizetype i)
{
    return static_cast<unsigned char>(s[i]);
}
qsizetype Find(const QString& s, const char* what, qsizetype from)
{
    return s.indexOf(QLatin1StringView(what), from);
}
qsizetype Find(const QByteArray& s, const char* what, qsizetype from)
{
    return s.indexOf(what, from);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Q decoding of an encoded text that still ends in "?=". "=" with two hex
// digits is the byte they name; "=" followed by anything else stays "=".
QByteArray DecodeQ(const QByteArray& encoded)
{
    QByteArray out;
    const qsizetype end = encoded.size() - 2; // the closing "?="
    out.reserve(end);
    for (qsizetype i = 0; i < end; ++i) {
        const char c = encoded[i];
        if (c == '_') {
            out.append(' ');
        } else if (c == '=' && i + 2 < end && HexValue(encoded[i + 1]) >= 0 && HexValue(encoded[i + 2]) >= 0) {
            out.append(static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2])));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}

// B decoding: groups of four characters (the closing "?=" counts) give three
// bytes; characters outside the alphabet, padding included, count as 0, and
// the NUL bytes they leave are removed with the header's other NULs.
QByteArray DecodeB(const QByteArray& encoded)
{
    static const std::array<unsigned char, 256> index = [] {
        std::array<unsigned char, 256> table{};
        for (int i = 0; i < 64; ++i)
            table[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<unsigned char>(i);
        return table;
    }();
    QByteArray out;
    out.reserve(encoded.size() / 4 * 3);
    for (qsizetype i = 0; i + 4 <= encoded.size(); i += 4) {
        unsigned value = 0;
        for (int k = 0; k < 4; ++k)
            value = (value << 6) | index[static_cast<unsigned char>(encoded[i + k])];
        out.append(static_cast<char>(value >> 16));
        out.append(static_cast<char>((value >> 8) & 0xFF));
        out.append(static_cast<char>(value & 0xFF));
    }
    return out;
}

QByteArray DecodeWordBytes(char16_t letter, const QByteArray& encoded)
{
    return letter == 'Q' || letter == 'q' ? DecodeQ(encoded) : DecodeB(encoded);
}

bool IsIso2022Jp(QStringView charset)
{
    return charset.compare(QLatin1StringView("ISO-2022-JP"), Qt::CaseInsensitive) == 0;
}

QByteArray ToBytes(const QString& s)
{
    return EncodeSystemText(s);
}
const QByteArray& ToBytes(const QByteArray& s)
{
    return s;
}

void AppendSlice(QString& out, const QString& s, qsizetype from, qsizetype to)
{
    out.append(QStringView(s).sliced(from, to - from));
}
void AppendSlice(QByteArray& out, const QByteArray& s, qsizetype from, qsizetype to)
{
    out.append(QByteArrayView(s).sliced(from, to - from));
}

template <typename Text>
bool AllSpace(const Text& s, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i) {
        if (!IsHeaderSpace(At(s, i)))
            return false;
    }
    return true;
}

// The first occurrence of a pattern at or after a position, for positions
// that never decrease: the answer of the last search stays valid until the
// position passes it, so every part of the text is searched at most once
// and a hostile header cannot make the scan quadratic.
template <typename Text>
class TForwardFinder
{
public:
    TForwardFinder(const Text& text, const char* pattern) : FText(text), FPattern(pattern) {}

    qsizetype From(qsizetype from)
    {
        if (FFound == kUnknown || (FFound >= 0 && FFound < from))
            FFound = Find(FText, FPattern, from);
        return FFound;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    const Text& FText;
    const char* FPattern;
    qsizetype FFound = kUnknown;
};

// The next header whitespace at or after a position (positions never
// decrease); -1 when there is none.
template <typename Text>
class TSpaceFinder
{
public:
    explicit TSpaceFinder(const Text& text) : FText(text) {}

    qsizetype From(qsizetype from)
    {
        if (FFound == -2 || (FFound >= 0 && FFound < from)) {
            FFound = -1;
            for (qsizetype i = from; i < FText.size(); ++i) {
                if (IsHeaderSpace(At(FText, i))) {
                    FFound = i;
                    break;
                }
            }
        }
        return FFound;
    }

private:
    const Text& FText;
    qsizetype FFound = -2;
};

// The encoded-word scan shared by the UTF-16 and the 8-bit decoder.
// `decodeWord(charset, letter, encodedText)` gives the replacement of one
// word; the encoded text still ends in "?=". The result is built in one
// pass: text between words is copied, words are replaced by their decoded
// text, which is final and never scanned again.
template <typename Text, typename WordDecoder>
Text DecodeWords(const Text& h, WordDecoder decodeWord)
{
    TForwardFinder<Text> opens(h, "=?");
    TForwardFinder<Text> charsetEnds(h, "?");
    TForwardFinder<Text> letterEnds(h, "?");
    TForwardFinder<Text> closes(h, "?=");
    TSpaceFinder<Text> spaces(h);
    Text out;
    out.reserve(h.size());
    qsizetype copied = 0; // h[0, copied) is in `out`
    bool afterWord = false;
    qsizetype start = opens.From(0);
    while (start >= 0) {
        // The charset is at least three characters long: its closing "?" is
        // looked for from the fifth character after "=?" on.
        const qsizetype q1 = charsetEnds.From(start + 5);
        const qsizetype q2 = q1 < 0 ? -1 : letterEnds.From(q1 + 1);
        const qsizetype q3 = q2 < 0 ? -1 : closes.From(q2 + 1);
        // No whitespace may occur inside an encoded word.
        const qsizetype space = q3 < 0 ? -1 : spaces.From(start);
        if (q3 < 0 || (space >= 0 && space < q3)) {
            afterWord = false;
            start = opens.From(start + 1);
            continue;
        }
        const qsizetype end = q3 + 2;
        // Whitespace between two adjacent encoded words disappears.
        if (!afterWord || !AllSpace(h, copied, start))
            AppendSlice(out, h, copied, start);
        const Text charset = h.mid(start + 2, q1 - start - 2);
        out += decodeWord(charset, At(h, q1 + 1), ToBytes(h.mid(q2 + 1, end - (q2 + 1))));
        copied = end;
        afterWord = true;
        start = opens.From(end);
    }
    AppendSlice(out, h, copied, h.size());
    out.removeIf([](auto c) { return c == 0; });
    return out;
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

QString DecodeEncodedWords(const QString& header)
{
    return DecodeWords(header, [](const QString& charset, char16_t letter, const QByteArray& encoded) {
        const QByteArray bytes = DecodeWordBytes(letter, encoded);
        // ISO-2022-JP words are read through their Shift_JIS form.
        if (IsIso2022Jp(charset))
            return CodePageToUnicode(JisToShiftJis(bytes), kShiftJisCodePage);
        return DecodeTextByName(bytes, charset);
    });
}

QByteArray DecodeEncodedWordsAnsi(const QByteArray& header)
{
    return DecodeWords(header, [](const QByteArray& charset, char16_t letter, const QByteArray& encoded) {
        const QByteArray bytes = DecodeWordBytes(letter, encoded);
        return IsIso2022Jp(QString::fromLatin1(charset)) ? JisToShiftJis(bytes) : bytes;
    });
}

QString DecodeHeaderField(const QByteArray& value, CharsetId messageCharset)
{
    if (value.contains("=?"))
        return DecodeEncodedWords(DecodeSystemText(value));
    // Without encoded words the value is read as a whole in the message's
    // charset (the system code page when it has none); its NULs are dropped
    // as the word decoder drops them.
    QByteArray bytes = value;
    bytes.removeIf([](char c) { return c == 0; });
    QString result = DecodeCharsetText(bytes, messageCharset);
    if (AutoRusHeaderEnabled() && !result.isEmpty())
        result = RussianRedetect(result);
    return result;
}

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
        while (i < n && IsHeaderSpace(static_cast<unsigned char>(source[i])))
            ++i;
        const qsizetype wordStart = i;
        bool needs = false;
        while (i < n && !IsHeaderSpace(static_cast<unsigned char>(source[i])))
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
