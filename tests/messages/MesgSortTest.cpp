#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "messages/MesgSort.h"

#include "content/MimeMessage.h"
#include "tests/messages/MesgTestSupport.h"

namespace {

class MesgSort : public TMesgTest
{
protected:
    // An item whose fields come from a small header.
    TMesgItem* Add(const char* subject, const char* from, const char* date, qint64 size = 0,
                   const char* extraHeader = "X-Extra: none")
    {
        const QByteArray source = QByteArray("Subject: ") + subject + "\r\nFrom: " + from + "\r\nDate: " + date
                                  + "\r\n" + extraHeader + "\r\n\r\nbody\r\n";
        auto created = FItems.CreateItem();
        auto* item = static_cast<TMesgItem*>(created.get());
        TMimeMessage message;
        FItems.Parse(source, message);
        item->DeriveFields(message, DecodeListHeader(message));
        item->SetSize(size);
        FItems.Add(std::move(created));
        return item;
    }

    // Subjects (or senders) in the collection's order after a full sort.
    QStringList SortedBy(const TSortOrder& order, bool senders = false)
    {
        FItems.SetSortOrder(order);
        FItems.Resort();
        QStringList result;
        for (int i = 0; i < FItems.Count(); ++i) {
            const auto* item = static_cast<const TMesgItem*>(FItems.Item(i));
            result << (senders ? item->FromAddress() : item->Subject());
        }
        return result;
    }

    TMesgItems FItems;
};

QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

const char* const kMonday = "Mon, 2 Mar 2026 10:00:00 +0000";
const char* const kTuesday = "Tue, 3 Mar 2026 10:00:00 +0000";
const char* const kWednesday = "Wed, 4 Mar 2026 10:00:00 +0000";

TEST_F(MesgSort, RepliesFollowTheirSubjectByDepthAndCounter)
{
    Add("Re[2]: Budget", "a@x", kMonday);
    Add("Re: Re: Budget", "a@x", kMonday);
    Add("Budget", "a@x", kWednesday);
    Add("Re: Budget", "a@x", kMonday);
    Add("Agenda", "a@x", kWednesday);
    EXPECT_EQ(SortedBy({msSubject, false, {}}),
              Texts({"Agenda", "Budget", "Re: Budget", "Re: Re: Budget", "Re[2]: Budget"}));
}

TEST_F(MesgSort, SubjectsOneFinalCharacterApartTieAndTheDateDecides)
{
    Add("Meeting!", "a@x", kMonday);
    Add("Meeting", "a@x", kTuesday);
    Add("", "a@x", kWednesday);
    // The empty subject is decided by the first comparison, without normalising.
    EXPECT_EQ(SortedBy({msSubject, false, {}}), Texts({"", "Meeting!", "Meeting"}));
    // Inverting reverses everything, the date tie-break included.
    EXPECT_EQ(SortedBy({msSubject, true, {}}), Texts({"Meeting", "Meeting!", ""}));
}

TEST_F(MesgSort, FromSortsByNameThenAddressButRealNameOnlyByNameThenDate)
{
    Add("first", "Ann <zed@example.org>", kMonday);
    Add("second", "Ann <amy@example.org>", kTuesday);
    Add("third", "Bob <bob@example.org>", kMonday);
    EXPECT_EQ(SortedBy({msFrom, false, {}}), Texts({"second", "first", "third"}));
    EXPECT_EQ(SortedBy({msFromRealName, false, {}}), Texts({"first", "second", "third"}));
    EXPECT_EQ(SortedBy({msFromEmail, false, {}}, true),
              Texts({"amy@example.org", "bob@example.org", "zed@example.org"}));
}

TEST_F(MesgSort, AddressesIgnoreTheCaseOfAsciiLettersOnly)
{
    Add("upper", "X <ZED@example.org>", kMonday);
    Add("lower", "X <amy@example.org>", kMonday);
    EXPECT_EQ(SortedBy({msFromEmail, false, {}}), Texts({"lower", "upper"}));
}

TEST_F(MesgSort, ColumnsOrderFollowsTheVisibleColumns)
{
    Add("b", "a@x", kMonday, 300);
    Add("a", "a@x", kMonday, 100);
    Add("c", "a@x", kMonday, 200);
    EXPECT_EQ(SortedBy({msColumns, false, {mcSize, mcSubject}}), Texts({"a", "c", "b"}));
    EXPECT_EQ(SortedBy({msColumns, false, {mcFromEmail, mcSubject}}), Texts({"a", "b", "c"}));
}

TEST_F(MesgSort, ColumnClicksChooseTheirKey)
{
    const std::pair<int, TMessageSort> cases[] = {
        {mcSubject, msSubject},         {mcFromRealName, msFromRealName}, {mcFromEmail, msFromEmail},
        {mcToRealName, msToRealName},   {mcToEmail, msToEmail},           {mcDateSent, msDateSent},
        {mcDateReceived, msDateReceived}, {mcSize, msColumns},            {mcAttachment, msColumns},
        {mcPriority, msColumns},        {mcFlagged, msColumns},
    };
    for (const auto& [field, key] : cases)
        EXPECT_EQ(SortForColumn(field), key) << field;
}

TEST_F(MesgSort, PriorityPutsTheLowestFirstWhenAscending)
{
    auto* high = Add("high", "a@x", kMonday, 0, "X-Priority: 1");
    auto* normal = Add("normal", "a@x", kMonday);
    EXPECT_LT(CompareField(*normal, *high, mcPriority), 0);
    EXPECT_GT(CompareField(*high, *normal, mcPriority), 0);
}

} // namespace
