#include "settings/AnsiText.h"

#include <gtest/gtest.h>

TEST(AnsiTextTest, CodePageFollowsTheLocale)
{
    const std::pair<const char*, int> cases[] = {
        {"ru_RU", 1251}, {"uk_UA", 1251}, {"el_GR", 1253}, {"tr_TR", 1254}, {"he_IL", 1255},
        {"ar_EG", 1256}, {"lt_LT", 1257}, {"vi_VN", 1258}, {"pl_PL", 1250}, {"cs_CZ", 1250},
        {"ja_JP", 932},  {"zh_CN", 936},  {"zh_TW", 950},  {"ko_KR", 949},  {"th_TH", 874},
        {"de_DE", 1252}, {"en_US", 1252}, {"C", 1252}};
    for (const auto& [locale, codePage] : cases)
        EXPECT_EQ(CodePageForLocale(QString::fromLatin1(locale)), codePage) << locale;
}

TEST(AnsiTextTest, RoundTripsThroughACodePage)
{
    const QString russian = QStringLiteral("Привет");
    const QByteArray bytes = EncodeAnsiText(russian, 1251);
    EXPECT_EQ(bytes, QByteArrayLiteral("\xcf\xf0\xe8\xe2\xe5\xf2"));
    EXPECT_EQ(DecodeAnsiText(bytes, 1251), russian);
    EXPECT_EQ(DecodeAnsiText(QByteArrayLiteral("\xf0\xd2\xc9"), 20866), QStringLiteral("При"));
    EXPECT_EQ(DecodeAnsiText(QByteArrayLiteral("caf\xc3\xa9"), 65001), QStringLiteral("café"));
}

TEST(AnsiTextTest, BadInputNeverLosesTheRest)
{
    // Invalid UTF-8 becomes U+FFFD and the text goes on.
    EXPECT_EQ(DecodeAnsiText(QByteArrayLiteral("a\xff" "b\xc3"), 65001), QStringLiteral("a\uFFFDb\uFFFD"));
    // A character the code page lacks becomes "?", one per character.
    EXPECT_EQ(EncodeAnsiText(QStringLiteral("a\u4e2d\U0001F600b"), 1251), QByteArrayLiteral("a??b"));
    // An unknown code page falls back to the system one instead of failing.
    EXPECT_EQ(DecodeAnsiText(QByteArrayLiteral("plain"), 99999), QStringLiteral("plain"));
}

TEST(AnsiTextTest, ByteOrderMarksChooseTheEncoding)
{
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xff\xfe" "A\x00\x16\x04"), 1251), QStringLiteral("AЖ"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xfe\xff\x00" "A\x04\x16"), 1251), QStringLiteral("AЖ"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xef\xbb\xbf\xd0\x96"), 1251), QStringLiteral("Ж"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xc6"), 1251), QStringLiteral("Ж"));
}
