#include "content/UnicodeCoders.h"

#include <cstring>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsTrail(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The allowed range of the second byte of a sequence after `lead`
// (Unicode's table of well-formed UTF-8 byte sequences); false for a byte
// that cannot start a sequence.
bool SecondByteRange(unsigned char lead, unsigned char& low, unsigned char& high)
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xF4) {
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
        else if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
        return true;
    }
    return false;
}

int SequenceLength(unsigned char lead)
{
    return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Copies a run of ASCII bytes eight at a time; returns how many were copied.
qsizetype CopyAscii(const unsigned char* in, qsizetype n, char16_t* out)
{
    qsizetype i = 0;
    while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        for (int k = 0; k < 8; ++k)
            out[i + k] = in[i + k];
        i += 8;
    }
    while (i < n && in[i] < 0x80) {
        out[i] = in[i];
        ++i;
    }
    return i;
}

} // namespace

QString DecodeUtf8(QByteArrayView bytes)
{
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    // Never more units than bytes: a four-byte sequence gives two units and
    // every replacement stands for at least one byte.
    QString result(n, Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(result.data());
    char16_t* out = begin;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype ascii = CopyAscii(in + i, n - i, out);
        i += ascii;
        out += ascii;
        if (i >= n)
            break;
        const unsigned char lead = in[i];
        unsigned char low, high;
        if (!SecondByteRange(lead, low, high)) {
            *out++ = kReplacement;
            ++i;
            continue;
        }
        const int length = SequenceLength(lead);
        char32_t cp = lead & (0xFF >> (length + 1));
        int taken = 1;
        while (taken < length && i + taken < n) {
            const unsigned char b = in[i + taken];
            if (taken == 1 ? (b < low || b > high) : !IsTrail(b))
                break;
            cp = (cp << 6) | (b & 0x3F);
            ++taken;
        }
        i += taken;
        if (taken < length) {
            *out++ = kReplacement; // the maximal ill-formed part just consumed
        } else if (cp >= 0x10000) {
            *out++ = QChar::highSurrogate(cp);
            *out++ = QChar::lowSurrogate(cp);
        } else {
            *out++ = static_cast<char16_t>(cp);
        }
    }
    result.truncate(out - begin);
    return result;
}

QByteArray EncodeUtf8(QStringView text)
{
    QByteArray result(text.size() * 3, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(result.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text[i].unicode();
        if (cp < 0x80) {
            *out++ = static_cast<unsigned char>(cp);
            continue;
        }
        if (QChar::isSurrogate(cp)) {
            if (QChar::isHighSurrogate(cp) && i + 1 < n && text[i + 1].isLowSurrogate()) {
                cp = QChar::surrogateToUcs4(static_cast<char16_t>(cp), text[++i].unicode());
                *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
                *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
                *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
                *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
                continue;
            }
            cp = kReplacement;
        }
        if (cp < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
        } else {
            *out++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
            *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    result.truncate(reinterpret_cast<char*>(out) - result.data());
    return result;
}

QString DecodeUtf16Le(QByteArrayView bytes)
{
    const qsizetype units = bytes.size() / 2;
    QString result(units, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < units; ++i)
        out[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    return result;
}

QByteArray EncodeUtf16Le(QStringView text)
{
    QByteArray result(text.size() * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(result.data());
    for (QChar c : text) {
        *out++ = static_cast<unsigned char>(c.unicode() & 0xFF);
        *out++ = static_cast<unsigned char>(c.unicode() >> 8);
    }
    return result;
}
