#include "content/RusCharSets.h"

#include "settings/CodePages.h"

#include <array>
#include <cmath>

namespace {

constexpr unsigned kCp1251 = 1251;

// Expected share of each windows-1251 letter (0xC0-0xFF: А to Я, then а to
// я) among all bytes of 0x80 and above in Russian text.
constexpr std::array<float, 64> kLetterFrequency = {
    0.001f, 0.0f,   0.002f, 0.0f,   0.001f, 0.001f, 0.0f,   0.0f,
    0.001f, 0.0f,   0.001f, 0.0f,   0.001f, 0.001f, 0.001f, 0.002f,
    0.002f, 0.001f, 0.001f, 0.0f,   0.0f,   0.0f,   0.0f,   0.001f,
    0.001f, 0.0f,   0.0f,   0.0f,   0.0f,   0.001f, 0.0f,   0.0f,
    0.057f, 0.01f,  0.031f, 0.011f, 0.021f, 0.067f, 0.007f, 0.013f,
    0.052f, 0.011f, 0.023f, 0.03f,  0.024f, 0.043f, 0.075f, 0.026f,
    0.038f, 0.034f, 0.046f, 0.016f, 0.001f, 0.006f, 0.002f, 0.011f,
    0.004f, 0.004f, 0.0f,   0.012f, 0.012f, 0.003f, 0.005f, 0.015f,
};

// Two words that show a reading is right: "АКТИВН" and "ОРК" in windows-1251.
constexpr char kHintActive[] = "\xC0\xCA\xD2\xC8\xC2\xCD";
constexpr char kHintOrk[] = "\xCE\xD0\xCA";
constexpr float kHintBonus = 0.5f;

// Bytes 0x80-0xFF of KOI8-R text re-read as windows-1251: letters go to the
// same letter, pseudographics to the nearest ASCII or 1251 sign.
constexpr std::array<unsigned char, 128> kKoi8ToWin = {
    0x2D, 0xA6, 0x2D, 0xAC, 0x4C, 0x2D, 0x2B, 0x2B, 0x54, 0x2B, 0x2B, 0x2D, 0x2D, 0x2D, 0xA6, 0xA6,
    0x2D, 0x2D, 0x2D, 0xAF, 0x97, 0x9B, 0x98, 0xA2, 0xBA, 0xAA, 0x9A, 0xBF, 0x9C, 0x99, 0x87, 0xA1,
    0x3D, 0xA6, 0x2D, 0xB8, 0xE4, 0xE3, 0xAC, 0xAC, 0xAC, 0x4C, 0x4C, 0x4C, 0x2D, 0x2D, 0x2D, 0xA6,
    0xA6, 0xA6, 0xA6, 0xA8, 0xA6, 0xA6, 0x54, 0x54, 0x54, 0xA6, 0xA6, 0xA6, 0x2B, 0x2B, 0x2B, 0x9D,
    0xFE, 0xE0, 0xE1, 0xF6, 0xE4, 0xE5, 0xF4, 0xE3, 0xF5, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE,
    0xEF, 0xFF, 0xF0, 0xF1, 0xF2, 0xF3, 0xE6, 0xE2, 0xFC, 0xFB, 0xE7, 0xF8, 0xFD, 0xF9, 0xF7, 0xFA,
    0xDE, 0xC0, 0xC1, 0xD6, 0xC4, 0xC5, 0xD4, 0xC3, 0xD5, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE,
    0xCF, 0xDF, 0xD0, 0xD1, 0xD2, 0xD3, 0xC6, 0xC2, 0xDC, 0xDB, 0xC7, 0xD8, 0xDD, 0xD9, 0xD7, 0xDA,
};

// Bytes 0x80-0xFF of windows-1251 text re-read as KOI8-R.
constexpr std::array<unsigned char, 128> kWinToKoi8 = {
    0x3F, 0x3F, 0x27, 0x3F, 0x22, 0x3A, 0x8A, 0xBC, 0x3F, 0x25, 0x3F, 0x3C, 0x3F, 0x3F, 0x3F, 0x3F,
    0x3F, 0x27, 0x27, 0x22, 0x22, 0x07, 0x2D, 0x2D, 0x3F, 0x54, 0x3F, 0x3E, 0x3F, 0x3F, 0x3F, 0x3F,
    0x9A, 0x9F, 0x97, 0x3F, 0x9D, 0x3F, 0x81, 0x15, 0xB3, 0x63, 0x99, 0x3C, 0x83, 0x2D, 0x52, 0x93,
    0x9C, 0x2B, 0x49, 0x69, 0x3F, 0xDE, 0x14, 0x9E, 0xA3, 0xBF, 0x98, 0x3E, 0x3F, 0x3F, 0x3F, 0x9B,
    0xE1, 0xE2, 0xF7, 0xE7, 0xE4, 0xE5, 0xF6, 0xFA, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
    0xF2, 0xF3, 0xF4, 0xF5, 0xE6, 0xE8, 0xE3, 0xFE, 0xFB, 0xFD, 0xFF, 0xF9, 0xF8, 0xFC, 0xE0, 0xF1,
    0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
    0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8, 0xC3, 0xDE, 0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1,
};

unsigned char UpperWin1251(unsigned char b)
{
    if ((b >= 'a' && b <= 'z') || b >= 0xE0)
        return static_cast<unsigned char>(b - 0x20);
    switch (b) {
    case 0x83: return 0x81;
    case 0x90: return 0x80;
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9D: return 0x8D;
    case 0x9E: return 0x8E;
    case 0x9F: return 0x8F;
    case 0xA2: return 0xA1;
    case 0xB3: return 0xB2;
    case 0xB4: return 0xA5;
    case 0xB8: return 0xA8;
    case 0xBA: return 0xAA;
    case 0xBC: return 0xA3;
    case 0xBE: return 0xBD;
    case 0xBF: return 0xAF;
    default: return b;
    }
}

// Sum over the letters of how far their share differs from Russian text.
float Distance(const QByteArray& bytes)
{
    std::array<int, 128> counts{};
    int upper = 0;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            ++counts[b - 0x80];
            ++upper;
        }
    }
    if (upper == 0)
        return 0.0f;
    float distance = 0.0f;
    for (std::size_t i = 0; i < kLetterFrequency.size(); ++i)
        distance += std::fabs(static_cast<float>(counts[0x40 + i]) / static_cast<float>(upper) - kLetterFrequency[i]);
    return distance;
}

float Bonus(const QByteArray& bytes)
{
    QByteArray upper = bytes;
    for (char& c : upper)
        c = static_cast<char>(UpperWin1251(static_cast<unsigned char>(c)));
    return upper.contains(kHintActive) || upper.contains(kHintOrk) ? kHintBonus : 0.0f;
}

float Score(const QByteArray& bytes)
{
    return Distance(bytes) - Bonus(bytes);
}

QByteArray Translate(const QByteArray& bytes, const std::array<unsigned char, 128>& table)
{
    QByteArray result = bytes;
    for (char& c : result) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80)
            c = static_cast<char>(table[b - 0x80]);
    }
    return result;
}

bool HasHighByte(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

bool HasNonAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return true;
    }
    return false;
}

} // namespace

QByteArray ChooseRussianReading(const QByteArray& bytes)
{
    if (!HasHighByte(bytes))
        return bytes;
    // A candidate wins only with a lower score; ties keep the earlier one, and
    // a score of exactly 0 never wins.
    QByteArray result = bytes;
    float best = Score(bytes);
    for (const auto* table : {&kKoi8ToWin, &kWinToKoi8}) {
        QByteArray candidate = Translate(bytes, *table);
        const float score = Score(candidate);
        if (score != 0.0f && score < best) {
            result = std::move(candidate);
            best = score;
        }
    }
    return result;
}

QString RussianRedetect(const QString& text)
{
    if (!HasNonAscii(text))
        return text;
    return CodePageToUnicode(ChooseRussianReading(UnicodeToCodePage(text, kCp1251)), kCp1251);
}
