// Address lists: splitting decoded header fields into names and addresses,
// and writing items back.

#include "content/IdCoderHeader.h"
#include "content/WideIdEMailAddress.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

// The list as "name|address" pairs separated by "; ".
QString Summary(const TWideIdEMailAddressList& list)
{
    QStringList parts;
    for (int i = 0; i < list.Count(); ++i)
        parts << list.Item(i).Name() + QLatin1Char('|') + list.Item(i).Address();
    return parts.join(QStringLiteral("; "));
}

struct TListCase
{
    const char* Name;
    std::u16string_view Text;
    std::u16string_view Expected;
};

class AddressListParsing : public ::testing::TestWithParam<TListCase>
{
};

TEST_P(AddressListParsing, SplitsIntoItems)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(U(GetParam().Text));
    EXPECT_EQ(Summary(list), U(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddressListParsing,
    ::testing::Values(
        TListCase{"NameAndAngleAddress", u"John Smith <john@example.com>", u"John Smith|john@example.com"},
        TListCase{"QuotedNameWithComma", u"\"Doe, Jane\" <jane@example.com>", u"Doe, Jane|jane@example.com"},
        TListCase{"BareAddressWithComment", u"bob@example.com (Bob Smith)", u"|bob@example.com"},
        TListCase{"TwoAddresses", u"a@example.com, b@example.org", u"|a@example.com; |b@example.org"},
        TListCase{"EmptyElementGivesNothing", u"a@example.com,, b@example.org", u"|a@example.com; |b@example.org"},
        TListCase{"Group", u"Friends: a@example.com, Bo <b@example.org>;",
                  u"|a@example.com; Bo|b@example.org"},
        TListCase{"EmptyGroup", u"undisclosed-recipients:;", u""},
        TListCase{"TwoPlainWordsGiveNoItem", u"John Smith", u""},
        TListCase{"BlankText", u"  \t ", u""},
        TListCase{"SingleBareAddress", u"only@example.com", u"|only@example.com"},
        TListCase{"CommaInsideComment", u"c@example.com (Smith, C), d@example.com", u"|c@example.com; |d@example.com"},
        TListCase{"EscapedQuoteInName", u"\"Say \\\"hi\\\"\" <h@example.com>", u"Say \"hi\"|h@example.com"},
        TListCase{"CyrillicName", u"Иван Петров <ivan@example.ru>", u"Иван Петров|ivan@example.ru"},
        TListCase{"QuotedLocalPart", u"<\"john doe\"@example.com>", u"|john doe@example.com"},
        TListCase{"NameAfterBareAddress", u"a@example.com Ann Lee", u"Ann Lee|a@example.com"},
        TListCase{"UnclosedAngle", u"Ann <ann@example.com", u"Ann|ann@example.com"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A decoded To field of the header samples: a group with a quoted comma and a
// comment, followed by an encoded display name.
TEST(AddressListParsing, DecodedHeaderSample)
{
    const QByteArray raw = ReadFixture(QStringLiteral("charset/to-group.hdr"));
    TWideIdEMailAddressList list;
    list.SetAddressListText(DecodeHeaderField(raw, 0));
    EXPECT_EQ(Summary(list), U(u"Doe, Jane|jane@example.com; |bob@example.com; Иван|ivan@example.ru"));
}

TEST(AddressListParsing, ALimitStopsAfterThatManyAddresses)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(QStringLiteral("Group: ; \"Doe, J\" <j@example.com>, b@example.com, c@example.com"), 1);
    EXPECT_EQ(Summary(list), QStringLiteral("Doe, J|j@example.com"));
    list.SetAddressListText(QStringLiteral("a@example.com, b@example.com"), 5);
    EXPECT_EQ(list.Count(), 2);
}

TEST(AddressListParsing, ReparsingClearsTheList)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(QStringLiteral("a@example.com, b@example.com"));
    list.SetAddressListText(QStringLiteral("c@example.com"));
    EXPECT_EQ(Summary(list), QStringLiteral("|c@example.com"));
    list.SetAddressListText(QString());
    EXPECT_EQ(list.Count(), 0);
}

TEST(AddressItem, UserAndDomainSplitAtTheLastAtSign)
{
    const TWideIdEMailAddressItem item(QString(), QStringLiteral("\"a@b\"@example.com"));
    EXPECT_EQ(item.User(), QStringLiteral("\"a@b\""));
    EXPECT_EQ(item.Domain(), QStringLiteral("example.com"));
    const TWideIdEMailAddressItem local(QString(), QStringLiteral("postmaster"));
    EXPECT_EQ(local.User(), QStringLiteral("postmaster"));
    EXPECT_EQ(local.Domain(), QString());
}

struct TTextCase
{
    const char* Name;
    std::u16string_view ItemName;
    std::u16string_view Address;
    std::u16string_view Text;
};

class AddressTextWriting : public ::testing::TestWithParam<TTextCase>
{
};

TEST_P(AddressTextWriting, WritesTheItem)
{
    const TWideIdEMailAddressItem item(U(GetParam().ItemName), U(GetParam().Address));
    EXPECT_EQ(item.AddressText(), U(GetParam().Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddressTextWriting,
    ::testing::Values(TTextCase{"BareAddress", u"", u"a@example.com", u"a@example.com"},
                      TTextCase{"PlainName", u"Ann Lee", u"a@example.com", u"Ann Lee <a@example.com>"},
                      TTextCase{"NameNeedingQuotes", u"Lee, Ann", u"a@example.com", u"\"Lee, Ann\" <a@example.com>"},
                      TTextCase{"QuotesEscaped", u"A \"B\"", u"a@example.com", u"\"A \\\"B\\\"\" <a@example.com>"},
                      TTextCase{"NameWithoutAddress", u"Ann", u"", u"Ann <>"},
                      TTextCase{"Nothing", u"", u"", u""},
                      TTextCase{"NameEqualToAddress", u"A@EXAMPLE.COM", u"a@example.com", u"<a@example.com>"},
                      TTextCase{"DottedLocalPartPlain", u"", u"john.doe@example.com", u"john.doe@example.com"},
                      TTextCase{"LocalPartWithSpaceQuoted", u"", u"john doe@example.com",
                                u"<\"john doe\"@example.com>"}),
    [](const auto& info) { return std::string(info.param.Name); });

// Writing an item and parsing the text again gives the item back.
TEST(AddressTextWriting, RoundTripsThroughTheParser)
{
    for (const TWideIdEMailAddressItem& item :
         {TWideIdEMailAddressItem(QStringLiteral("Lee, Ann"), QStringLiteral("a@example.com")),
          TWideIdEMailAddressItem(QStringLiteral("Say \"hi\""), QStringLiteral("h@example.com")),
          TWideIdEMailAddressItem(QString(), QStringLiteral("b@example.org"))}) {
        TWideIdEMailAddressItem parsed;
        parsed.SetAddressText(item.AddressText());
        EXPECT_EQ(parsed.Name(), item.Name());
        EXPECT_EQ(parsed.Address(), item.Address());
    }
}

} // namespace
