// The charset name table, its lookups and the charset chooser list.

#include "content/CharsetNames.h"
#include "content/Utf16Funcs.h"
#include "tests/content/ContentTestSupport.h"

#include <QStringList>

namespace {

TEST(CharsetNames, TableHoldsEveryRegisteredNameInItsGroup)
{
    EXPECT_EQ(CharsetNameCount(), 790);
    EXPECT_EQ(CharsetGroupCount(), 242);
    // First and last entries, in table order.
    EXPECT_EQ(CharsetName(1), QStringLiteral("US-ASCII"));
    EXPECT_EQ(CharsetName(790), QStringLiteral("HZ-GB-2312"));
    EXPECT_EQ(CharsetName(0), QString());
    EXPECT_EQ(CharsetName(791), QString());
}

struct TLookupCase
{
    const char* Label;
    const char* Canonical; // nullptr: not in the table
};

class CharsetLookup : public ::testing::TestWithParam<TLookupCase>
{
};

TEST_P(CharsetLookup, ResolvesToCanonicalMember)
{
    const TLookupCase& c = GetParam();
    const CharsetId id = CharsetFromName(NormalizeCharsetName(QString::fromLatin1(c.Label)));
    if (c.Canonical == nullptr) {
        EXPECT_EQ(id, 0);
        return;
    }
    ASSERT_NE(id, 0);
    EXPECT_EQ(CharsetName(CanonicalCharset(id)), QString::fromLatin1(c.Canonical));
}

INSTANTIATE_TEST_SUITE_P(Labels, CharsetLookup,
                         ::testing::Values(TLookupCase{"utf-8", "UTF-8"},
                                           TLookupCase{"X-KOI8-R", "csKOI8R"},
                                           TLookupCase{"koi8-r", "csKOI8R"},
                                           TLookupCase{"LATIN1", "ISO-8859-1"},
                                           TLookupCase{"l6", "latin6"},
                                           TLookupCase{"ISO-8859-10", "latin6"},
                                           TLookupCase{"Shift_JIS", "csShiftJIS"},
                                           TLookupCase{"windows-936", "GBK"},
                                           TLookupCase{"x-", nullptr},
                                           TLookupCase{"utf8", nullptr},
                                           TLookupCase{"", nullptr},
                                           TLookupCase{" utf-8", nullptr}),
                         [](const auto& info) {
                             std::string name = info.param.Label;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return "Label_" + name + "_" + std::to_string(info.index);
                         });

TEST(CharsetNames, NormalizeLowersAsciiAndStripsExperimentalPrefix)
{
    EXPECT_EQ(NormalizeCharsetName(QStringLiteral("X-KOI8-R")), QStringLiteral("koi8-r"));
    EXPECT_EQ(NormalizeCharsetName(QStringLiteral("x-")), QStringLiteral("x-"));
    EXPECT_EQ(NormalizeCharsetName(QStringLiteral("X-Y")), QStringLiteral("y"));
    // Only ASCII letters change: a Turkish dotted capital I stays.
    EXPECT_EQ(NormalizeCharsetName(QString(QChar(0x130))), QString(QChar(0x130)));
}

TEST(CharsetNames, CanonicalOfCanonicalIsItselfAndZeroStaysZero)
{
    const CharsetId koi = Id("csKOI8R");
    EXPECT_EQ(CanonicalCharset(koi), koi);
    EXPECT_EQ(CanonicalCharset(Id("KOI8-R")), koi);
    EXPECT_EQ(CanonicalCharset(0), 0);
    EXPECT_EQ(CanonicalCharset(60000), 0);
}

TEST(CharsetChoices, ListsThe37NamesInDialogOrder)
{
    QStringList list{QStringLiteral("stale")};
    FillCharsetChoices(list);
    ASSERT_EQ(list.size(), 37);
    EXPECT_EQ(list.first(), QStringLiteral("US-ASCII"));
    EXPECT_EQ(list.at(23), QStringLiteral("KOI8-R"));
    EXPECT_EQ(list.last(), QStringLiteral("csEUCKR"));
    // Every entry names a charset of the table.
    for (int i = 0; i < list.size(); ++i)
        EXPECT_EQ(CharsetChoiceIndex(CharsetChoiceAt(i)), i) << list.at(i).toStdString();
}

TEST(CharsetChoices, IndexComparesGroups)
{
    EXPECT_EQ(CharsetChoiceIndex(Id("KOI8-R")), 23);
    EXPECT_EQ(CharsetChoiceIndex(Id("csKOI8R")), 23);
    EXPECT_EQ(CharsetChoiceIndex(Id("Shift_JIS")), 27);
    EXPECT_EQ(CharsetChoiceIndex(Id("iso-ir-149")), 34);
    EXPECT_EQ(CharsetChoiceIndex(Id("GBK")), -1);
    EXPECT_EQ(CharsetChoiceIndex(0), -1);
    EXPECT_EQ(CharsetChoiceAt(-1), 0);
    EXPECT_EQ(CharsetChoiceAt(37), 0);
}

} // namespace
