// Conversion by charset: the single-byte converters, UTF-8, UTF-16, the
// code-page groups and the dispatch between them.

#include "content/CharsetConvertors.h"
#include "settings/SystemCodePage.h"
#include "content/UnicodeCoders.h"
#include "content/Utf16Funcs.h"
#include "settings/CharsetSwitches.h"
#include "tests/content/ContentTestSupport.h"

#include <QLocale>

namespace {

struct TDecodeCase
{
    const char* Name;
    const char* Charset;
    const char* Bytes;
    std::u16string_view Text;
};

class DecodeByCharset : public TContentTest, public ::testing::WithParamInterface<TDecodeCase>
{
};

TEST_P(DecodeByCharset, GivesText)
{
    const TDecodeCase& c = GetParam();
    EXPECT_EQ(DecodeCharsetText(Hex(c.Bytes), Id(c.Charset)), U(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeByCharset,
    ::testing::Values(
        TDecodeCase{"Latin2", "ISO-8859-2", "41 80 A1 B1 FF", u"A\u0080\u0104\u0105\u02D9"},
        TDecodeCase{"Latin3Unassigned", "ISO-8859-3", "A5 AE C3", u"\uFFFF\uFFFF\uFFFF"},
        TDecodeCase{"Latin4", "latin4", "A2 FF", u"\u0138\u02D9"},
        TDecodeCase{"Cyrillic", "ISO-8859-5", "A0 A1 AD F0 FD EF", u"\u00A0\u0401\u00AD\u2116\u00A7\u044F"},
        TDecodeCase{"Arabic", "ISO-8859-6", "C7 A1 AC F2", u"\u0627?\u060C\u0652"},
        TDecodeCase{"GreekWithItsDifferences", "ISO-8859-7", "A4 A5 AE D2 FF C1 B6",
                    u"\u0374\u0375\u037E??\u0391\u0386"},
        TDecodeCase{"HebrewWithItsDifferences", "ISO-8859-8", "AF FD FE E0 FA BF A1",
                    u"\u203E??\u05D0\u05EA??"},
        TDecodeCase{"Turkish", "ISO-8859-9", "D0 DD FE E9", u"\u011E\u0130\u015F\u00E9"},
        TDecodeCase{"Latin6ByCanonical", "latin6", "A1 FF", u"\u0104\u0138"},
        TDecodeCase{"Latin6ByIsoName", "ISO-8859-10", "A1 FF", u"\u0104\u0138"},
        TDecodeCase{"Latin6ByShortName", "l6", "A1 FF", u"\u0104\u0138"},
        TDecodeCase{"Baltic", "ISO-8859-13", "FF", u"\u2019"},
        TDecodeCase{"Celtic", "ISO-8859-14", "A1", u"\u1E02"},
        TDecodeCase{"Latin9", "ISO-8859-15", "A4 BE", u"\u20AC\u0178"},
        TDecodeCase{"Koi8R", "KOI8-R", "F0 D2 C9 D7 C5 D4", u"Привет"},
        // KOI8-U is read with the KOI8-R table: its Ukrainian letters show as
        // box-drawing characters.
        TDecodeCase{"Koi8UReadAsKoi8R", "KOI8-U", "A4 E9", u"\u2553И"},
        TDecodeCase{"Utf8", "UTF-8", "C3 A9", u"é"},
        TDecodeCase{"Utf16OddByteDropped", "UTF-16", "41 00 42", u"A"},
        TDecodeCase{"Utf7", "UTF-7", "2B 42 42 38 45 51 41 51 34 42 44 49 45 4E 51 52 43 2D", u"Привет"},
        TDecodeCase{"Windows1251", "windows-1251", "CF F0 E8 E2 E5 F2 80", u"ПриветЂ"},
        TDecodeCase{"ShiftJis", "Shift_JIS", "82 A0", u"あ"},
        TDecodeCase{"Iso2022Jp", "ISO-2022-JP", "1B 24 42 46 7C 4B 5C 1B 28 42", u"日本"},
        TDecodeCase{"EucKr", "EUC-KR", "C7 D1 B1 DB", u"한글"},
        // Mail labelled ks_c_5601-1987 carries 8-bit Korean.
        TDecodeCase{"KsC5601", "ks_c_5601-1987", "C7 D1 B1 DB", u"한글"},
        // Groups without a converter, and Latin-1 itself, go through the
        // system code page (1252 in these tests).
        TDecodeCase{"Latin1BySystemPage", "ISO-8859-1", "E9 80", u"é€"},
        TDecodeCase{"NoConverterBySystemPage", "IBM037", "E9", u"é"},
        TDecodeCase{"NoCharset", "", "E9", u"é"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TEncodeCase
{
    const char* Name;
    const char* Charset;
    std::u16string_view Text;
    const char* Bytes;
};

class EncodeByCharset : public TContentTest, public ::testing::WithParamInterface<TEncodeCase>
{
};

TEST_P(EncodeByCharset, GivesBytes)
{
    const TEncodeCase& c = GetParam();
    EXPECT_EQ(EncodeCharsetText(U(c.Text), Id(c.Charset)), Hex(c.Bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodeByCharset,
    ::testing::Values(
        // A character that no byte decodes to follows its charset's rule.
        TEncodeCase{"TabledTakesLowBits", "ISO-8859-2", u"\u0416", "16"},
        TEncodeCase{"GreekWritesQuestionMark", "ISO-8859-7", u"\u0416\u20AC", "3F 3F"},
        TEncodeCase{"CyrillicLetter", "ISO-8859-5", u"\u0416\u2116", "B6 F0"},
        TEncodeCase{"TurkishKeepsLatin1Codes", "ISO-8859-9", u"\u00D0\u011E\u20AC", "D0 D0 3F"},
        TEncodeCase{"Latin9Euro", "ISO-8859-15", u"\u20AC\u00A4", "A4 A4"},
        TEncodeCase{"Latin3FirstMatch", "ISO-8859-3", u"\uFFFF", "A5"},
        TEncodeCase{"Koi8R", "csKOI8R", u"Привет", "F0 D2 C9 D7 C5 D4"},
        TEncodeCase{"Utf8Pair", "UTF-8", u"A\U0001F600", "41 F0 9F 98 80"},
        TEncodeCase{"Utf16LowByteFirst", "UTF-16", u"A\u0411", "41 00 11 04"},
        TEncodeCase{"Windows1251", "windows-1251", u"Ж", "C6"},
        TEncodeCase{"Iso2022JpReturnsToAscii", "ISO-2022-JP", u"日本", "1B 24 42 46 7C 4B 5C 1B 28 42"},
        TEncodeCase{"SystemPageWritesQuestionMark", "ISO-8859-1", u"é\u0416", "E9 3F"}),
    [](const auto& info) { return std::string(info.param.Name); });

// Every byte that decodes to a character of its own encodes back to itself.
TEST(SingleByteConverters, RoundTripEveryByte)
{
    for (int charset = 0; charset <= static_cast<int>(TSingleByteCharset::Koi8R); ++charset) {
        const auto cs = static_cast<TSingleByteCharset>(charset);
        for (int b = 0; b < 256; ++b) {
            const QByteArray byte(1, static_cast<char>(b));
            const QString text = DecodeSingleByte(byte, cs);
            ASSERT_EQ(text.size(), 1);
            if (text[0] == QLatin1Char('?') || text[0].unicode() == 0xFFFF)
                continue;
            EXPECT_EQ(EncodeSingleByte(text, cs), byte) << "charset " << charset << " byte " << b;
        }
    }
}

struct TUtf8Case
{
    const char* Name;
    const char* Bytes;
    std::u16string_view Text;
};

class Utf8Decoding : public ::testing::TestWithParam<TUtf8Case>
{
};

TEST_P(Utf8Decoding, ReplacesEachIllFormedSequenceAndKeepsTheRest)
{
    EXPECT_EQ(DecodeUtf8(Hex(GetParam().Bytes)), U(GetParam().Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decoding,
    ::testing::Values(TUtf8Case{"TwoByte", "C3 A9", u"é"},
                      TUtf8Case{"BadTrailByte", "C3 41", u"\uFFFDA"},
                      TUtf8Case{"CutShortThreeByte", "E2 82 41", u"\uFFFDA"},
                      TUtf8Case{"CutShortAtEnd", "41 F0 9F 98", u"A\uFFFD"},
                      TUtf8Case{"FourByteToSurrogatePair", "F0 9F 98 80", u"\U0001F600"},
                      TUtf8Case{"Overlong", "C0 80", u"\uFFFD\uFFFD"},
                      TUtf8Case{"EncodedSurrogate", "ED A0 80", u"\uFFFD\uFFFD\uFFFD"},
                      TUtf8Case{"AboveUnicode", "F4 90 80 80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      TUtf8Case{"StrayTrailBytes", "80 BF 41", u"\uFFFD\uFFFDA"},
                      TUtf8Case{"ByteOrderMarkKept", "EF BB BF 41", u"\uFEFFA"},
                      TUtf8Case{"NulKept", "41 00 42", std::u16string_view(u"A\0B", 3)},
                      TUtf8Case{"ErrorAfterLongAsciiRun", "61 62 63 64 65 66 67 68 69 6A FF 6B",
                                u"abcdefghij\uFFFDk"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Utf8Encoding, WritesPairsAsOneSequenceAndLoneSurrogatesAsReplacement)
{
    EXPECT_EQ(EncodeUtf8(U(u"é\u0800\U0001F600")), Hex("C3 A9 E0 A0 80 F0 9F 98 80"));
    EXPECT_EQ(EncodeUtf8(U(u"\xD800" u"A")), Hex("EF BF BD 41"));
    EXPECT_EQ(EncodeUtf8(U(u"A\xDC00")), Hex("41 EF BF BD"));
    const QString mixed = U(u"Grüße, Привет, 日本, \U0001F389");
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(mixed)), mixed);
}

TEST(Utf16Decoding, KeepsByteOrderMarkAsText)
{
    EXPECT_EQ(DecodeUtf16Le(Hex("FF FE 41 00")), U(u"\uFEFFA"));
    EXPECT_EQ(DecodeUtf16Le(Hex("41")), QString());
}

class CharsetDispatch : public TContentTest
{
};

// "latin1" bytes are read in the user's code page, not as Latin-1.
TEST_F(CharsetDispatch, Latin1FollowsTheSystemCodePage)
{
    SetSystemCodePage(1251);
    EXPECT_EQ(DecodeTextByName(Hex("E9"), QStringLiteral("latin1")), U(u"й"));
    SetSystemCodePage(1252);
    EXPECT_EQ(DecodeTextByName(Hex("E9"), QStringLiteral("latin1")), U(u"é"));
}

TEST_F(CharsetDispatch, DecodeTextByNameNormalisesTheLabel)
{
    EXPECT_EQ(DecodeTextByName(Hex("F0 D2 C9 D7 C5 D4"), QStringLiteral("X-KOI8-R")), U(u"Привет"));
    EXPECT_EQ(DecodeTextByName(Hex("E9"), QString()), U(u"é"));
    EXPECT_EQ(DecodeTextByName(Hex("E9"), QStringLiteral("no-such-charset")), U(u"é"));
    EXPECT_EQ(DecodeTextByName(QByteArray(), QStringLiteral("utf-8")), QString());
}

// Platform code pages take the whole input: a NUL byte does not cut the
// text short.
TEST_F(CharsetDispatch, CodePageConversionKeepsTextAfterNul)
{
    EXPECT_EQ(DecodeCharsetText(Hex("CF 00 F0"), Id("windows-1251")), U(std::u16string_view(u"П\0р", 3)));
    EXPECT_EQ(DecodeCharsetText(Hex("82 A0 00 82 A0"), Id("Shift_JIS")), U(std::u16string_view(u"あ\0あ", 3)));
}

TEST_F(CharsetDispatch, BodyTextIsRedetectedOnlyWithAutoRus)
{
    // KOI8-R text wrongly labelled windows-1251.
    const QByteArray koi8 = EncodeCharsetText(U(u"Привет, как дела? Всё хорошо."), Id("KOI8-R"));
    const CharsetId label = Id("windows-1251");
    EXPECT_NE(DecodeBodyText(koi8, label), U(u"Привет, как дела? Всё хорошо."));
    SetAutoRusEnabled(true);
    EXPECT_EQ(DecodeBodyText(koi8, label), U(u"Привет, как дела? Всё хорошо."));
}

struct TLocaleCase
{
    const char* Locale;
    const char* Charset;
};

class DefaultCharset : public ::testing::TestWithParam<TLocaleCase>
{
};

TEST_P(DefaultCharset, FollowsTheLanguage)
{
    const QLocale locale(QString::fromLatin1(GetParam().Locale));
    EXPECT_EQ(DefaultCharsetForLocale(locale), Id(GetParam().Charset));
}

INSTANTIATE_TEST_SUITE_P(Locales, DefaultCharset,
                         ::testing::Values(TLocaleCase{"ar_EG", "ISO-8859-6"}, TLocaleCase{"el_GR", "ISO-8859-7"},
                                           TLocaleCase{"he_IL", "ISO-8859-8"}, TLocaleCase{"zh_CN", "GB2312"},
                                           TLocaleCase{"zh_SG", "GB2312"}, TLocaleCase{"zh_TW", "Big5"},
                                           TLocaleCase{"zh_HK", "Big5"}, TLocaleCase{"ja_JP", "ISO-2022-JP"},
                                           TLocaleCase{"ko_KR", "EUC-KR"}, TLocaleCase{"ru_RU", "KOI8-R"},
                                           TLocaleCase{"uk_UA", "windows-1251"}, TLocaleCase{"de_DE", "ISO-8859-1"},
                                           TLocaleCase{"C", "ISO-8859-1"}),
                         [](const auto& info) { return std::string(info.param.Locale); });

TEST(DefaultMessageCharset, UsesTheDefaultLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    EXPECT_EQ(DefaultMessageCharset(), Id("KOI8-R"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(DefaultMessageCharset(), Id("ISO-8859-1"));
    QLocale::setDefault(saved);
}

} // namespace
