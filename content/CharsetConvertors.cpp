#include "content/CharsetConvertors.h"

#include "content/SingleByteTables.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Byte to UTF-16 unit, one function per charset. The tabled charsets look the
// upper bytes up; the coded ones compute them. Everything below the first
// non-identical byte maps to its own code point.

template <std::size_t N>
constexpr char16_t FromTable(unsigned char b, const std::array<char16_t, N>& table)
{
    constexpr unsigned first = 256 - N;
    return b < first ? char16_t(b) : table[b - first];
}

constexpr char16_t Iso8859_5(unsigned char b)
{
    if (b <= 0xA0 || b == 0xAD)
        return b;
    if (b == 0xF0)
        return 0x2116; // numero sign
    if (b == 0xFD)
        return 0x00A7; // section sign
    return char16_t(b + 0x360);
}

constexpr char16_t Iso8859_6(unsigned char b)
{
    if (b <= 0xA0 || b == 0xA4 || b == 0xAD)
        return b;
    switch (b) {
    case 0xAC: return 0x060C;
    case 0xBB: return 0x061B;
    case 0xBF: return 0x061F;
    default: break;
    }
    if ((b >= 0xC1 && b <= 0xDA) || (b >= 0xE0 && b <= 0xF2))
        return char16_t(b + 0x560);
    return u'?';
}

// The 2003 edition, except 0xA4/0xA5 (Greek numeral signs instead of the euro
// and drachma signs) and 0xAE (Greek question mark).
constexpr char16_t Iso8859_7(unsigned char b)
{
    switch (b) {
    case 0xA1: return 0x2018;
    case 0xA2: return 0x2019;
    case 0xA4: return 0x0374;
    case 0xA5: return 0x0375;
    case 0xAA: return 0x037A;
    case 0xAE: return 0x037E;
    case 0xAF: return 0x2015;
    case 0xB7: return 0x00B7;
    case 0xBB: return 0x00BB;
    case 0xBD: return 0x00BD;
    case 0xD2:
    case 0xFF: return u'?';
    default: break;
    }
    if (b <= 0xB3)
        return b;
    // 0xB4 and up, but for the three punctuation marks above: the Greek block.
    return char16_t(b + 0x2D0);
}

// As published, except 0xAF (overline) and the direction marks 0xFD/0xFE.
constexpr char16_t Iso8859_8(unsigned char b)
{
    if (b == 0xAA)
        return 0x00D7;
    if (b == 0xAF)
        return 0x203E;
    if (b == 0xBA)
        return 0x00F7;
    if (b == 0xDF)
        return 0x2017;
    if (b >= 0xE0 && b <= 0xFA)
        return char16_t(b + 0x4F0);
    if (b == 0xA1 || (b >= 0xBF && b <= 0xDE) || b >= 0xFB)
        return u'?';
    return b;
}

constexpr char16_t Iso8859_9(unsigned char b)
{
    switch (b) {
    case 0xD0: return 0x011E;
    case 0xDD: return 0x0130;
    case 0xDE: return 0x015E;
    case 0xF0: return 0x011F;
    case 0xFD: return 0x0131;
    case 0xFE: return 0x015F;
    default: return b;
    }
}

constexpr char16_t Iso8859_15(unsigned char b)
{
    switch (b) {
    case 0xA4: return 0x20AC;
    case 0xA6: return 0x0160;
    case 0xA8: return 0x0161;
    case 0xB4: return 0x017D;
    case 0xB8: return 0x017E;
    case 0xBC: return 0x0152;
    case 0xBD: return 0x0153;
    case 0xBE: return 0x0178;
    default: return b;
    }
}

// ---------------------------------------------------------------------------
// Each converter expanded into a 256-unit decoding table at compile time, so
// that decoding is one lookup per byte whatever the charset.

enum class TUnmapped { LowBits, Question, Latin1OrQuestion };

struct TConverter
{
    std::array<char16_t, 256> Decode;
    // Codes below this are written as themselves without a search.
    char16_t DirectBelow;
    TUnmapped Unmapped;
};

template <typename F>
constexpr TConverter MakeConverter(F decode, char16_t directBelow, TUnmapped unmapped)
{
    TConverter c{{}, directBelow, unmapped};
    for (unsigned b = 0; b < 256; ++b)
        c.Decode[b] = decode(static_cast<unsigned char>(b));
    return c;
}

template <const auto& Table>
constexpr TConverter Tabled(char16_t directBelow)
{
    return MakeConverter([](unsigned char b) { return FromTable(b, Table); }, directBelow, TUnmapped::LowBits);
}

constexpr std::array<TConverter, 13> kConverters = {
    Tabled<kIso8859_2>(0xA0),
    Tabled<kIso8859_3>(0xA0),
    Tabled<kIso8859_4>(0xA0),
    MakeConverter(Iso8859_5, 0xA1, TUnmapped::Question),
    MakeConverter(Iso8859_6, 0xA1, TUnmapped::Question),
    MakeConverter(Iso8859_7, 0xA1, TUnmapped::Question),
    MakeConverter(Iso8859_8, 0xA1, TUnmapped::Question),
    MakeConverter(Iso8859_9, 0xA1, TUnmapped::Latin1OrQuestion),
    Tabled<kIso8859_10>(0xA0),
    Tabled<kIso8859_13>(0xA0),
    Tabled<kIso8859_14>(0xA0),
    MakeConverter(Iso8859_15, 0xA1, TUnmapped::Latin1OrQuestion),
    Tabled<kKoi8R>(0x80),
};

const TConverter& Converter(TSingleByteCharset charset)
{
    return kConverters[static_cast<std::size_t>(charset)];
}

// The inverse of a converter's upper bytes, sorted by unit; among bytes that
// decode to the same unit the lowest comes first, as a search of the table
// from its first entry would find it.
class TReverseMap
{
public:
    explicit TReverseMap(const TConverter& converter)
    {
        for (unsigned b = converter.DirectBelow; b < 256; ++b)
            FPairs.emplace_back(converter.Decode[b], static_cast<unsigned char>(b));
        std::stable_sort(FPairs.begin(), FPairs.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    [[nodiscard]] int Find(char16_t unit) const
    {
        auto it = std::lower_bound(FPairs.begin(), FPairs.end(), unit,
                                   [](const auto& pair, char16_t u) { return pair.first < u; });
        return it != FPairs.end() && it->first == unit ? it->second : -1;
    }

private:
    std::vector<std::pair<char16_t, unsigned char>> FPairs;
};

const TReverseMap& ReverseMap(TSingleByteCharset charset)
{
    static const std::vector<TReverseMap> maps = [] {
        std::vector<TReverseMap> all;
        for (const TConverter& converter : kConverters)
            all.emplace_back(converter);
        return all;
    }();
    return maps[static_cast<std::size_t>(charset)];
}

unsigned char UnmappedByte(char16_t unit, TUnmapped rule)
{
    switch (rule) {
    case TUnmapped::LowBits:
        return static_cast<unsigned char>(unit & 0xFF);
    case TUnmapped::Latin1OrQuestion:
        if (unit < 0x100)
            return static_cast<unsigned char>(unit);
        break;
    case TUnmapped::Question:
        break;
    }
    return '?';
}

} // namespace

QString DecodeSingleByte(QByteArrayView bytes, TSingleByteCharset charset)
{
    const std::array<char16_t, 256>& table = Converter(charset).Decode;
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (char c : bytes)
        *out++ = table[static_cast<unsigned char>(c)];
    return result;
}

QByteArray EncodeSingleByte(QStringView text, TSingleByteCharset charset)
{
    const TConverter& converter = Converter(charset);
    const TReverseMap& reverse = ReverseMap(charset);
    QByteArray result(text.size(), Qt::Uninitialized);
    char* out = result.data();
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        int b = unit < converter.DirectBelow ? unit : reverse.Find(unit);
        if (b < 0)
            b = UnmappedByte(unit, converter.Unmapped);
        *out++ = static_cast<char>(b);
    }
    return result;
}
