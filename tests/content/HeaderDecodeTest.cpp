// Decoding header fields: RFC 2047 encoded words and raw 8-bit values.

#include "content/IdCoderHeader.h"
#include "content/Iso2022Jp.h"
#include "settings/SystemCodePage.h"
#include "content/Utf16Funcs.h"
#include "settings/CharsetSwitches.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

struct TWordCase
{
    const char* Name;
    const char* Header;
    std::u16string_view Text;
};

class EncodedWords : public TContentTest, public ::testing::WithParamInterface<TWordCase>
{
};

TEST_P(EncodedWords, Decode)
{
    EXPECT_EQ(DecodeEncodedWords(QString::fromLatin1(GetParam().Header)), U(GetParam().Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodedWords,
    ::testing::Values(
        TWordCase{"Koi8RBase64", "=?koi8-r?B?8NLJ18XU?=", u"Привет"},
        TWordCase{"Koi8RQuoted", "=?KOI8-R?Q?=F0=D2=C9=D7=C5=D4?=", u"Привет"},
        TWordCase{"AdjacentWordsJoinAcrossFolding", "=?utf-8?Q?a?=\r\n =?utf-8?Q?b?=", u"ab"},
        TWordCase{"SpaceBeforePlainTextStays", "=?utf-8?Q?a?= b", u"a b"},
        TWordCase{"PlainTextBeforeWordStays", "Re: =?utf-8?Q?a?=", u"Re: a"},
        TWordCase{"PaddingNulsRemoved", "=?utf-8?B?QQ==?=", u"A"},
        TWordCase{"ShortCharsetNotRecognised", "=?x?Q?a?=", u"=?x?Q?a?="},
        TWordCase{"WhitespaceInsideWord", "=?utf-8?Q?a b?=", u"=?utf-8?Q?a b?="},
        TWordCase{"UnderscoreIsSpace", "=?utf-8?q?a_b?=", u"a b"},
        TWordCase{"EmptyEncodedText", "x=?utf-8?Q?" "?=y", u"xy"},
        TWordCase{"EqualsWithoutHexStays", "=?utf-8?Q?1=ZZ2=?=", u"1=ZZ2="},
        TWordCase{"LowerCaseHex", "=?utf-8?Q?=c3=a9?=", u"é"},
        TWordCase{"Unterminated", "=?utf-8?Q?abc", u"=?utf-8?Q?abc"},
        TWordCase{"UnknownCharsetBySystemPage", "=?x-unknown?Q?=E9?=", u"é"},
        TWordCase{"MalformedUtf8KeepsTheRest", "=?utf-8?Q?ok=FF_still_here?=", u"ok\uFFFD still here"},
        TWordCase{"FourByteUtf8", "=?UTF-8?B?8J+YgA==?=", u"\U0001F600"},
        // A decoded "=?" is text, not the start of another word.
        TWordCase{"DecodedTextNotDecodedAgain", "=?utf-8?Q?=3D=3Futf-8=3FQ=3Fx=3F=3D?=", u"=?utf-8?Q?x?="},
        TWordCase{"Iso2022JpThroughShiftJis", "=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=", u"日本"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EncodedWords, AnsiVariantSplicesBytesUnconverted)
{
    EXPECT_EQ(DecodeEncodedWordsAnsi("Re: =?koi8-r?B?8NLJ18XU?= =?koi8-r?Q?!?="), QByteArray("Re: \xF0\xD2\xC9\xD7\xC5\xD4!"));
    EXPECT_EQ(DecodeEncodedWordsAnsi("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?="), QByteArray("\x93\xFA\x96\x7B"));
    EXPECT_EQ(DecodeEncodedWordsAnsi("no words"), QByteArray("no words"));
}

struct TFieldCase
{
    const char* Fixture;        // a raw header value below tests/data/charset
    const char* MessageCharset; // "" for none
    std::u16string_view Text;
};

class HeaderSamples : public TContentTest, public ::testing::WithParamInterface<TFieldCase>
{
};

TEST_P(HeaderSamples, DecodeToText)
{
    const TFieldCase& c = GetParam();
    const QByteArray value = ReadFixture(QStringLiteral("charset/") + QString::fromLatin1(c.Fixture) + QStringLiteral(".hdr"));
    ASSERT_FALSE(value.isEmpty());
    EXPECT_EQ(DecodeHeaderField(value, Id(c.MessageCharset)), U(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, HeaderSamples,
    ::testing::Values(TFieldCase{"subject-koi8r-raw", "KOI8-R", u"Привет, мир"},
                      TFieldCase{"subject-cp1251-raw", "windows-1251", u"Привет, мир"},
                      TFieldCase{"subject-koi8r-folded", "", u"Привет, мир"},
                      TFieldCase{"subject-cp1251-mixed", "ISO-8859-1", u"Re: Отчёт for May"},
                      TFieldCase{"subject-iso2022jp", "", u"こんにちは世界"},
                      TFieldCase{"subject-utf8-emoji", "", u"Party 🎉 🎂 tonight"},
                      TFieldCase{"from-encoded-name", "", u"René Dupont <rene@example.fr>"}),
    [](const auto& info) {
        std::string name = info.param.Fixture;
        for (char& ch : name) {
            if (ch == '-')
                ch = '_';
        }
        return name;
    });

class HeaderField : public TContentTest
{
};

// A raw value without encoded words is read in the message's charset, then
// re-detected when "AutoRusHeader" is on.
TEST_F(HeaderField, RawValueUsesMessageCharsetThenRedetection)
{
    const QByteArray koi8 = ReadFixture(QStringLiteral("charset/subject-koi8r-raw.hdr"));
    const CharsetId cp1251 = Id("windows-1251");
    const QString misread = DecodeHeaderField(koi8, cp1251);
    EXPECT_NE(misread, U(u"Привет, мир"));
    SetAutoRusHeaderEnabled(true);
    EXPECT_EQ(DecodeHeaderField(koi8, cp1251), U(u"Привет, мир"));
    // Also without a message charset (the system code page reads it).
    SetSystemCodePage(1251);
    EXPECT_EQ(DecodeHeaderField(koi8, 0), U(u"Привет, мир"));
}

TEST_F(HeaderField, EncodedWordsAreNeverRedetected)
{
    SetAutoRusHeaderEnabled(true);
    // Windows-1251 bytes labelled KOI8-R inside an encoded word stay as
    // labelled: the label of an encoded word is trusted.
    const QString decoded = DecodeHeaderField("=?koi8-r?Q?=CF=F0=E8?=", Id("windows-1251"));
    EXPECT_EQ(decoded, DecodeTextByName(QByteArray("\xCF\xF0\xE8"), QStringLiteral("koi8-r")));
}

TEST_F(HeaderField, WithoutCharsetUsesSystemCodePage)
{
    EXPECT_EQ(DecodeHeaderField(QByteArray("caf\xE9"), 0), U(u"café"));
    SetSystemCodePage(1251);
    EXPECT_EQ(DecodeHeaderField(QByteArray("caf\xE9"), 0), U(u"cafй"));
    EXPECT_EQ(DecodeHeaderField(QByteArray("a\0b", 3), 0), QStringLiteral("ab"));
    EXPECT_EQ(DecodeHeaderField(QByteArray(), Id("UTF-8")), QString());
}

TEST(Iso2022Jp, JisAndShiftJisConvertBothWays)
{
    const QByteArray jis("a\x1B$BF|K\\\x1B(Bb");
    const QByteArray sjis("a\x93\xFA\x96\x7B" "b");
    EXPECT_EQ(JisToShiftJis(jis), sjis);
    EXPECT_EQ(ShiftJisToJis(sjis), jis);
    // Other escapes are dropped without changing the mode.
    EXPECT_EQ(JisToShiftJis(QByteArray("\x1B(Jx")), QByteArray("x"));
    // Double-byte mode still open at the end is closed.
    EXPECT_EQ(ShiftJisToJis(QByteArray("\x82\xA0")), QByteArray("\x1B$B$\"\x1B(B"));
}

TEST(Iso2022Jp, HalfWidthKatakanaBecomeFullWidthWithMarksMerged)
{
    // KA + voiced mark = GA; HA + semi-voiced mark = PA; A + voiced mark has
    // no combined form, so the mark stays a separate character.
    EXPECT_EQ(ShiftJisToJis(QByteArray("\xB6\xDE\xCA\xDF\xB1\xDE")), QByteArray("\x1B$B%,%Q%\"!+\x1B(B"));
    // U + voiced mark = VU.
    EXPECT_EQ(ShiftJisToJis(QByteArray("\xB3\xDE")), QByteArray("\x1B$B%t\x1B(B"));
}

TEST(Iso2022Jp, BytesWithoutJisFormAreDropped)
{
    EXPECT_EQ(ShiftJisToJis(QByteArray("a\x80\xA0\xFD\xFE\xFF" "b")), QByteArray("ab"));
    EXPECT_EQ(ShiftJisToJis(QByteArray("\xF0\x40" "c")), QByteArray("c"));
    EXPECT_EQ(ShiftJisToJis(QByteArray("\x82\x20" "d")), QByteArray("d"));
}

} // namespace
