#include "content/EncodedWordSplitter.h"

#include "content/CharsetNames.h"

#include <array>

namespace {

// How the bytes of a charset make up its characters.
enum class TCharacterForm {
    SingleByte,
    Utf8,
    ShiftJis,    // lead bytes 0x81-0x9F and 0xE0-0xFC take a second byte
    EucJp,       // 0x8E takes one more byte, 0x8F two, 0xA1-0xFE one
    DoubleByte,  // GBK, Big5, EUC-KR, UHC: lead bytes 0x81-0xFE take one more
    Gb18030,     // as DoubleByte, but a digit after the lead byte makes four bytes
    Utf7,        // a "+" ... "-" shift sequence is one piece
    Jis,         // ISO-2022-JP: escapes switch between ASCII and double-byte mode
};

constexpr char kEscape = '\x1B';
const QByteArray kAsciiMode = QByteArrayLiteral("\x1B(B");

TCharacterForm FormOf(const QByteArray& charset, bool jis)
{
    if (jis)
        return TCharacterForm::Jis;
    static const std::array<std::pair<const char*, TCharacterForm>, 14> forms = {{
        {"UTF-8", TCharacterForm::Utf8},           {"Shift_JIS", TCharacterForm::ShiftJis},
        {"Windows-31J", TCharacterForm::ShiftJis}, {"EUC-JP", TCharacterForm::EucJp},
        {"GBK", TCharacterForm::DoubleByte},       {"GB2312", TCharacterForm::DoubleByte},
        {"GB18030", TCharacterForm::Gb18030},      {"Big5", TCharacterForm::DoubleByte},
        {"Big5-HKSCS", TCharacterForm::DoubleByte}, {"EUC-KR", TCharacterForm::DoubleByte},
        {"KS_C_5601-1987", TCharacterForm::DoubleByte}, {"UTF-7", TCharacterForm::Utf7},
        {"ISO-2022-JP", TCharacterForm::Jis},      {"ISO-2022-JP-2", TCharacterForm::Jis},
    }};
    const CharsetId id = CanonicalCharset(CharsetFromName(NormalizeCharsetName(QString::fromLatin1(charset))));
    if (id == 0)
        return TCharacterForm::SingleByte;
    for (const auto& [name, form] : forms)
        if (CanonicalCharset(CharsetFromName(QString::fromLatin1(name))) == id)
            return form;
    return TCharacterForm::SingleByte;
}

bool InRange(char c, unsigned low, unsigned high)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= low && b <= high;
}

// The length of the character that starts at `at` in a stateless charset.
qsizetype CharacterLength(QByteArrayView bytes, qsizetype at, TCharacterForm form)
{
    const char c = bytes[at];
    qsizetype length = 1;
    switch (form) {
    case TCharacterForm::Utf8:
        while (at + length < bytes.size() && InRange(bytes[at + length], 0x80, 0xBF) && length < 4)
            ++length;
        break;
    case TCharacterForm::ShiftJis:
        length = InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC) ? 2 : 1;
        break;
    case TCharacterForm::EucJp:
        length = InRange(c, 0x8F, 0x8F) ? 3 : InRange(c, 0x8E, 0x8E) || InRange(c, 0xA1, 0xFE) ? 2 : 1;
        break;
    case TCharacterForm::Gb18030:
        length = !InRange(c, 0x81, 0xFE) ? 1 : at + 1 < bytes.size() && InRange(bytes[at + 1], 0x30, 0x39) ? 4 : 2;
        break;
    case TCharacterForm::DoubleByte:
        length = InRange(c, 0x81, 0xFE) ? 2 : 1;
        break;
    case TCharacterForm::Utf7:
        if (c == '+')
            while (at + length < bytes.size() && bytes[at + length - 1] != '-')
                ++length;
        break;
    case TCharacterForm::SingleByte:
    case TCharacterForm::Jis:
        break;
    }
    return std::min(length, bytes.size() - at);
}

// One character of the run, with the escapes in front of it, and the mode
// of ISO-2022-JP text before and after it.
struct TCharacter {
    qsizetype Start = 0;
    qsizetype End = 0;
    bool DoubleBefore = false;
    bool DoubleAfter = false;
    QByteArray Designation;   // the escape of the double-byte set in use before it
};

qsizetype EscapeLength(QByteArrayView bytes, qsizetype at)
{
    // ESC "$(D" designates four bytes; the others ("$B", "$@", "(B", "(J", "(I") three.
    if (bytes.sliced(at).startsWith("\x1B$("))
        return std::min<qsizetype>(4, bytes.size() - at);
    return std::min<qsizetype>(3, bytes.size() - at);
}

std::vector<TCharacter> JisCharacters(QByteArrayView bytes)
{
    std::vector<TCharacter> characters;
    bool doubleByte = false;
    QByteArray designation = QByteArrayLiteral("\x1B$B");
    qsizetype at = 0;
    while (at < bytes.size()) {
        TCharacter character;
        character.Start = at;
        character.DoubleBefore = doubleByte;
        character.Designation = designation;
        while (at < bytes.size() && bytes[at] == kEscape) {
            const qsizetype length = EscapeLength(bytes, at);
            const QByteArrayView escape = bytes.sliced(at, length);
            doubleByte = escape.size() > 1 && escape[1] == '$';
            if (doubleByte)
                designation = escape.toByteArray();
            at += length;
        }
        at = std::min(at + (doubleByte ? 2 : 1), bytes.size());
        // Escapes at the very end belong to the last character.
        qsizetype rest = at;
        while (rest < bytes.size() && bytes[rest] == kEscape)
            rest += EscapeLength(bytes, rest);
        if (rest >= bytes.size()) {
            for (qsizetype escape = at; escape < bytes.size(); escape += EscapeLength(bytes, escape))
                doubleByte = escape + 1 < bytes.size() && bytes[escape + 1] == '$';
            at = bytes.size();
        }
        character.End = at;
        character.DoubleAfter = doubleByte;
        characters.push_back(character);
    }
    return characters;
}

std::vector<TCharacter> Characters(QByteArrayView bytes, TCharacterForm form)
{
    if (form == TCharacterForm::Jis)
        return JisCharacters(bytes);
    std::vector<TCharacter> characters;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = CharacterLength(bytes, at, form);
        characters.push_back({at, at + length, false, false, {}});
        at += length;
    }
    return characters;
}

// The bytes of a word made of characters [first, last].
QByteArray WordBytes(QByteArrayView run, const std::vector<TCharacter>& characters, size_t first, size_t last)
{
    const TCharacter& opening = characters[first];
    QByteArray word;
    if (opening.DoubleBefore && run[opening.Start] != kEscape)
        word += opening.Designation;
    word += run.sliced(opening.Start, characters[last].End - opening.Start);
    if (characters[last].DoubleAfter)
        word += kAsciiMode;
    return word;
}

} // namespace

std::vector<QByteArray> SplitEncodedRun(QByteArrayView run, const QByteArray& charset, bool jis,
                                        const std::function<qsizetype(QByteArrayView)>& cost, qsizetype room)
{
    const std::vector<TCharacter> characters = Characters(run, FormOf(charset, jis));
    std::vector<QByteArray> words;
    for (size_t first = 0; first < characters.size();) {
        size_t last = first;
        QByteArray word = WordBytes(run, characters, first, last);
        while (last + 1 < characters.size()) {
            QByteArray longer = WordBytes(run, characters, first, last + 1);
            if (cost(longer) > room)
                break;
            word = std::move(longer);
            ++last;
        }
        words.push_back(std::move(word));
        first = last + 1;
    }
    return words;
}
