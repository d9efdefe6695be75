#include "content/Iso2022Jp.h"

#include <array>

namespace {

constexpr char kEsc = '\x1B';

// JIS X 0208 codes of the half-width katakana 0xA1-0xDF (full-width forms).
constexpr std::array<unsigned short, 63> kHalfWidthKana = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523,
    0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C,
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F,
    0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F,
    0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D,
    0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F,
    0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A,
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The code a voiced mark turns the katakana into, 0 when it has no voiced
// form: KA to TO and HA to HO gain one, U becomes VU.
unsigned short Voiced(unsigned char kana, unsigned short code)
{
    if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE))
        return static_cast<unsigned short>(code + 1);
    if (kana == 0xB3)
        return 0x2574;
    return 0;
}

// HA to HO gain a semi-voiced form.
unsigned short SemiVoiced(unsigned char kana, unsigned short code)
{
    return kana >= 0xCA && kana <= 0xCE ? static_cast<unsigned short>(code + 2) : 0;
}

void AppendPair(QByteArray& out, unsigned first, unsigned second)
{
    out.append(static_cast<char>(first));
    out.append(static_cast<char>(second));
}

// Writes ESC "$B" or ESC "(B" when the mode changes.
void SetDoubleByte(QByteArray& out, bool& doubleByte, bool on)
{
    if (doubleByte == on)
        return;
    out.append(kEsc);
    out.append(on ? "$B" : "(B");
    doubleByte = on;
}

bool IsShiftJisLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

bool IsShiftJisTrail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

} // namespace

QByteArray JisToShiftJis(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    bool doubleByte = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (bytes[i] == kEsc) {
            if (i + 2 < n) {
                if (bytes[i + 1] == '$' && bytes[i + 2] == 'B')
                    doubleByte = true;
                else if (bytes[i + 1] == '(' && bytes[i + 2] == 'B')
                    doubleByte = false;
            }
            i += 3;
            continue;
        }
        if (!doubleByte || i + 1 >= n) {
            out.append(bytes[i++]);
            continue;
        }
        const unsigned j1 = static_cast<unsigned char>(bytes[i]);
        const unsigned j2 = static_cast<unsigned char>(bytes[i + 1]);
        i += 2;
        unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
        unsigned s2 = j2 + ((j1 & 1) != 0 ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
        AppendPair(out, s1 & 0xFF, s2 & 0xFF);
    }
    return out;
}

QByteArray ShiftJisToJis(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + 8);
    bool doubleByte = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            SetDoubleByte(out, doubleByte, false);
            out.append(static_cast<char>(b));
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            unsigned short code = kHalfWidthKana[b - 0xA1];
            ++i;
            if (i < n) {
                const auto mark = static_cast<unsigned char>(bytes[i]);
                const unsigned short merged = mark == kVoicedMark       ? Voiced(b, code)
                                              : mark == kSemiVoicedMark ? SemiVoiced(b, code)
                                                                        : 0;
                if (merged != 0) {
                    code = merged;
                    ++i;
                }
            }
            SetDoubleByte(out, doubleByte, true);
            AppendPair(out, code >> 8, code & 0xFF);
        } else if (IsShiftJisLead(b) || (b >= 0xF0 && b <= 0xFC)) {
            // A lead byte takes its trail byte with it, converted or not.
            const unsigned s2 = i + 1 < n ? static_cast<unsigned char>(bytes[i + 1]) : 0;
            i += 2;
            if (!IsShiftJisLead(b) || !IsShiftJisTrail(static_cast<unsigned char>(s2)))
                continue;
            unsigned j1 = (b - (b <= 0x9F ? 0x70 : 0xB0)) << 1;
            unsigned j2;
            if (s2 < 0x9F) {
                --j1;
                j2 = s2 - (s2 < 0x7F ? 0x1F : 0x20);
            } else {
                j2 = s2 - 0x7E;
            }
            SetDoubleByte(out, doubleByte, true);
            AppendPair(out, j1, j2);
        } else {
            ++i; // 0x80, 0xA0 and 0xFD-0xFF have no JIS form
        }
    }
    SetDoubleByte(out, doubleByte, false);
    return out;
}
