#include "settings/GlobStrings.h"
#include "settings/TextFormat.h"

#include "tests/settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

struct TFormatCase
{
    const char* Name;
    const char* Format;
    QVariantList Args;
    const char* Expected;
};

class FormatArgsTest : public ::testing::TestWithParam<TFormatCase>
{
};

TEST_P(FormatArgsTest, FillsPlaceholders)
{
    EXPECT_EQ(FormatArgs(QString::fromUtf8(GetParam().Format), GetParam().Args), QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatArgsTest,
    ::testing::Values(
        TFormatCase{"TextAndNumber", "%s has %d new", {QStringLiteral("Inbox"), 3}, "Inbox has 3 new"},
        TFormatCase{"VersionPadding", "%d.%.2d.%.2d.%.2d", {1, 2, 3, 45}, "1.02.03.45"},
        TFormatCase{"WindowSectionName", "TaskForm\\%2d", {3}, "TaskForm\\ 3"},
        TFormatCase{"LeftAlignedWidth", "[%-4s]", {QStringLiteral("ab")}, "[ab  ]"},
        TFormatCase{"IndexedArguments", "%1:s then %0:s", {QStringLiteral("a"), QStringLiteral("b")}, "b then a"},
        TFormatCase{"Hex", "%x %X %.4x", {255, 255, 10}, "ff FF 000a"},
        TFormatCase{"Percent", "100%% of %d", {5}, "100% of 5"},
        TFormatCase{"Fixed", "%.1f", {2.26}, "2.3"},
        TFormatCase{"TruncatedText", "%.3s", {QStringLiteral("abcdef")}, "abc"},
        TFormatCase{"NegativeNumber", "%d", {-12}, "-12"},
        TFormatCase{"MissingArgumentStays", "%s and %s", {QStringLiteral("one")}, "one and %s"},
        TFormatCase{"UnknownTypeStays", "50%z off", {}, "50%z off"},
        TFormatCase{"TrailingPercentStays", "at 100%", {}, "at 100%"},
        TFormatCase{"TextForANumberStays", "%d items", {QStringLiteral("many")}, "many items"}),
    TCaseName());

TEST(FormatTextTest, LineBreakMarkerInAnyCase)
{
    EXPECT_EQ(TGlobStrings::FormatText(QStringLiteral("first/nsecond/Nthird")), QStringLiteral("first\r\nsecond\r\nthird"));
    EXPECT_EQ(TGlobStrings::FormatText(QStringLiteral("%s:/n%s"), {QStringLiteral("File not found"), QStringLiteral("/x")}),
              QStringLiteral("File not found:\r\n/x"));
}
