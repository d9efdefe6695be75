// The system code page and the platform code-page conversions.

#include "settings/CodePages.h"
#include "settings/SystemCodePage.h"
#include "tests/content/ContentTestSupport.h"

#include <QLocale>

namespace {

struct TLocalePage
{
    const char* Locale;
    unsigned CodePage;
};

class SystemCodePageForLocale : public ::testing::TestWithParam<TLocalePage>
{
};

TEST_P(SystemCodePageForLocale, ChoosesAsWindowsDoes)
{
    EXPECT_EQ(CodePageForLocale(QLocale(QString::fromLatin1(GetParam().Locale))), GetParam().CodePage);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, SystemCodePageForLocale,
    ::testing::Values(TLocalePage{"ru_RU", 1251}, TLocalePage{"uk_UA", 1251}, TLocalePage{"sr_RS", 1251},
                      TLocalePage{"sr_Latn_RS", 1250}, TLocalePage{"pl_PL", 1250}, TLocalePage{"cs_CZ", 1250},
                      TLocalePage{"el_GR", 1253}, TLocalePage{"tr_TR", 1254}, TLocalePage{"he_IL", 1255},
                      TLocalePage{"ar_SA", 1256}, TLocalePage{"lt_LT", 1257}, TLocalePage{"et_EE", 1257},
                      TLocalePage{"vi_VN", 1258}, TLocalePage{"th_TH", 874}, TLocalePage{"ja_JP", 932},
                      TLocalePage{"zh_CN", 936}, TLocalePage{"zh_TW", 950}, TLocalePage{"ko_KR", 949},
                      TLocalePage{"de_DE", 1252}, TLocalePage{"C", 1252}),
    [](const auto& info) { return std::string(info.param.Locale); });

class SystemCodePageChoice : public TContentTest
{
protected:
    void TearDown() override
    {
        qunsetenv("VELLUMO_CODEPAGE");
        QLocale::setDefault(FSavedLocale);
        TContentTest::TearDown();
    }

    QLocale FSavedLocale;
};

TEST_F(SystemCodePageChoice, EnvironmentOverridesTheLocale)
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    qputenv("VELLUMO_CODEPAGE", "1251");
    SetSystemCodePage(0);
    EXPECT_EQ(SystemCodePage(), 1251u);
    EXPECT_EQ(DecodeSystemText(QByteArray("\xC6")), U(u"Ж"));

    // A value that names no code page the platform converts is ignored.
    qputenv("VELLUMO_CODEPAGE", "7777");
    SetSystemCodePage(0);
    EXPECT_EQ(SystemCodePage(), 1252u);
    qputenv("VELLUMO_CODEPAGE", "cyrillic");
    QLocale::setDefault(QLocale(QStringLiteral("el_GR")));
    SetSystemCodePage(0);
    EXPECT_EQ(SystemCodePage(), 1253u);
}

TEST_F(SystemCodePageChoice, UnknownPageFallsBackTo1252)
{
    SetSystemCodePage(12345);
    EXPECT_EQ(SystemCodePage(), 1252u);
}

TEST(CodePages, SingleBytePagesKeepC1BytesAndReplaceOtherUndefinedOnes)
{
    EXPECT_EQ(CodePageToUnicode(QByteArray("\x81\x80"), 1252), U(u"\u0081€"));
    EXPECT_EQ(CodePageToUnicode(QByteArray("\xAA\xC1"), 1253), U(u"\uFFFDΑ"));
    EXPECT_EQ(CodePageToUnicode(QByteArray("\x98"), 1251), U(u"\u0098"));
}

TEST(CodePages, EncodingWritesOneQuestionMarkPerMissingCharacter)
{
    EXPECT_EQ(UnicodeToCodePage(U(u"Aж\U0001F600B"), 1252), QByteArray("A??B"));
    EXPECT_EQ(UnicodeToCodePage(U(u"\u0081"), 1252), QByteArray("\x81"));
    EXPECT_EQ(UnicodeToCodePage(U(u"あ\U0001F600い"), 932), QByteArray("\x82\xA0?\x82\xA2"));
    // A stateful page leaves its double-byte mode before the "?".
    EXPECT_EQ(UnicodeToCodePage(U(u"日é"), 50220), QByteArray("\x1B$BF|\x1B(B?"));
}

TEST(CodePages, IllFormedMultiByteInputLosesOnlyTheBadBytes)
{
    EXPECT_EQ(CodePageToUnicode(QByteArray("\x82\xA0\x81\x20\x82\xA2"), 932), U(u"あ\uFFFD い"));
    EXPECT_EQ(CodePageToUnicode(QByteArray("A\x82"), 932), U(u"A\uFFFD"));
    EXPECT_EQ(CodePageToUnicode(QByteArray("+BB8-x+"), 65000), U(u"Пx\uFFFD"));
    EXPECT_EQ(CodePageToUnicode(QByteArray("x+\x80y"), 65000), U(u"x\uFFFDy"));
}

TEST(CodePages, EveryPageTheCharsetsNameIsAvailable)
{
    for (unsigned page : {874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                          1258u, 20932u, 50220u, 50221u, 50222u, 50225u, 50930u, 51932u, 51949u, 65000u})
        EXPECT_TRUE(CodePageAvailable(page)) << page;
    EXPECT_FALSE(CodePageAvailable(4242));
}

} // namespace
