#include "settings/AnsiText.h"
#include "settings/CodePages.h"

#include <gtest/gtest.h>

TEST(AnsiTextTest, FilesWithoutAMarkReadInTheirDeclaredCodePage)
{
    EXPECT_EQ(UnicodeToCodePage(QStringLiteral("Привет"), 1251), QByteArrayLiteral("\xcf\xf0\xe8\xe2\xe5\xf2"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xcf\xf0\xe8\xe2\xe5\xf2"), 1251), QStringLiteral("Привет"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xf0\xd2\xc9"), 20866), QStringLiteral("При"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("caf\xc3\xa9"), 65001), QStringLiteral("café"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xe9t\xe9"), 28591), QStringLiteral("été"));
}

TEST(AnsiTextTest, BadInputNeverLosesTheRest)
{
    // Invalid UTF-8 becomes U+FFFD and the text goes on.
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("a\xff" "b\xc3"), 65001), QStringLiteral("a\uFFFDb\uFFFD"));
    // A character the code page lacks becomes "?", one per character.
    EXPECT_EQ(UnicodeToCodePage(QStringLiteral("a\u4e2d\U0001F600b"), 1251), QByteArrayLiteral("a??b"));
    // An unknown code page falls back to the system one instead of failing.
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("plain"), 99999), QStringLiteral("plain"));
}

TEST(AnsiTextTest, ByteOrderMarksChooseTheEncoding)
{
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xff\xfe" "A\x00\x16\x04"), 1251), QStringLiteral("AЖ"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xfe\xff\x00" "A\x04\x16"), 1251), QStringLiteral("AЖ"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xef\xbb\xbf\xd0\x96"), 1251), QStringLiteral("Ж"));
    EXPECT_EQ(DecodeTextFile(QByteArrayLiteral("\xc6"), 1251), QStringLiteral("Ж"));
}
