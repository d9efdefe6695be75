#include "content/IdCoderHeader.h"

#include "settings/CodePages.h"
#include "content/Iso2022Jp.h"
#include "content/RusCharSets.h"
#include "settings/SystemCodePage.h"
#include "content/Utf16Funcs.h"
#include "settings/CharsetSwitches.h"

#include <array>

namespace {

constexpr unsigned kShiftJisCodePage = 932;
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

// The first match of a search at or after a position, for positions that
// never decrease: the answer of the last search stays valid until the
// position passes it, so every part of the text is searched at most once and
// a hostile header cannot make the scan quadratic.
template <typename Search>
class TForwardFinder
{
public:
    explicit TForwardFinder(Search search) : FSearch(search) {}

    qsizetype From(qsizetype from)
    {
        if (FFound == kUnknown || (FFound >= 0 && FFound < from))
            FFound = FSearch(from);
        return FFound;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    Search FSearch;
    qsizetype FFound = kUnknown;
};

template <typename Text>
auto PatternFinder(const Text& text, const char* pattern)
{
    return TForwardFinder([&text, pattern](qsizetype from) { return Find(text, pattern, from); });
}

template <typename Text>
auto SpaceFinder(const Text& text)
{
    return TForwardFinder([&text](qsizetype from) -> qsizetype {
        for (qsizetype i = from; i < text.size(); ++i) {
            if (IsHeaderSpace(At(text, i)))
                return i;
        }
        return -1;
    });
}

// The encoded-word scan shared by the UTF-16 and the 8-bit decoder.
// `decodeWord(charset, letter, encodedText)` gives the replacement of one
// word; the encoded text still ends in "?=". The result is built in one
// pass: text between words is copied, words are replaced by their decoded
// text, which is final and never scanned again.
template <typename Text, typename WordDecoder>
Text DecodeWords(const Text& h, WordDecoder decodeWord)
{
    auto opens = PatternFinder(h, "=?");
    auto charsetEnds = PatternFinder(h, "?");
    auto letterEnds = PatternFinder(h, "?");
    auto closes = PatternFinder(h, "?=");
    auto spaces = SpaceFinder(h);
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
