// The list keeps the messages the user selected, by their ids, while a
// folder loads, while it is sorted again and while the store reports
// messages arriving and leaving.

#include "tests/ui/MesgListTestSupport.h"

#include "content/MimeMessage.h"
#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

// Holds the parser thread at chosen messages until the test lets it go on.
class TParserPauses
{
public:
    explicit TParserPauses(std::vector<int> pauses) : FPauses(std::move(pauses)) {}

    // Parser thread: before the n-th message (counted from 1) is listed.
    void Reached(int n)
    {
        std::unique_lock lock(FMutex);
        if (std::find(FPauses.begin(), FPauses.end(), n - 1) == FPauses.end())
            return;
        FHeldAt = n - 1;
        FChanged.notify_all();
        FChanged.wait_for(lock, std::chrono::seconds(60), [this] { return FHeldAt < 0; });
    }
    // The number of messages listed when the parser stopped; -1 while it runs.
    int HeldAt()
    {
        std::lock_guard lock(FMutex);
        return FHeldAt;
    }
    void Release()
    {
        {
            std::lock_guard lock(FMutex);
            FHeldAt = -1;
        }
        FChanged.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<int> FPauses;
    int FHeldAt = -1;
};

class MesgListSelection : public MesgListTest
{
protected:
    TMesgListView& List() { return FWindow->List(); }

    // The user clicks a row, with the modifiers given.
    void Click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(List().viewport(), Qt::LeftButton, modifiers, List().RowRect(row).center());
    }

    std::vector<TStoreId> SortedSelection()
    {
        std::vector<TStoreId> ids = SelectedIds(List());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // The id of the message in the focused row.
    TStoreId CurrentId() { return IdOfRow(List(), List().ItemIndex()); }
};

// Subjects in an order that the sorted list scatters: each message lands
// somewhere among those listed before it.
QByteArray ScatteredSubject(int n)
{
    return "Message " + QByteArray::number((n * 7919) % 20011 + 10000);
}

TEST_F(MesgListSelection, AFolderOf20000MessagesKeepsTheChosenMessagesWhileItLoads)
{
    constexpr int kMessages = 20000;
    // Pauses at multiples of the batch after which the list learns the count.
    constexpr int kFirstPause = 129 * 40;
    constexpr int kSecondPause = 129 * 100;
    SaveMany(kInbox, kMessages, [](int n) { return TTestMessage(ScatteredSubject(n)).MessageId("<" + QByteArray::number(n) + "@m>"); });
    TParserPauses pauses({kFirstPause, kSecondPause});
    std::atomic<int> parsed{0};
    FWindow->Messages().OnItemText = [&](TMesgItem& item) {
        pauses.Reached(++parsed);
        TMimeMessage message;
        item.DecodeInto(message, true);
        item.DeriveFields(message, DecodeListHeader(message));
        return QString();
    };

    TMesgListView& list = List();
    list.setFocus();
    FWindow->Messages().SetFolderId(kInbox);
    // The user picks two messages while the load is under way ...
    // The parser lists what it parsed in batches: the rows before the pause
    // are there, not necessarily all of them.
    ASSERT_TRUE(WaitUntil([&] { return pauses.HeldAt() == kFirstPause && list.ItemCount() > 7; }, 120000));
    Settle(20);
    const int firstRows = list.ItemCount();
    Click(3);
    Click(7, Qt::ControlModifier);
    const std::vector<TStoreId> chosen = SortedSelection();
    ASSERT_EQ(chosen.size(), 2u);
    const TStoreId focused = CurrentId();
    EXPECT_EQ(focused, IdOfRow(list, 7));
    pauses.Release();

    // ... thousands of messages later, sorted in among them, the same two
    // are selected and the same one has the focus ...
    ASSERT_TRUE(WaitUntil([&] { return pauses.HeldAt() == kSecondPause && list.ItemCount() > firstRows; }, 120000));
    Settle(20);
    EXPECT_EQ(SortedSelection(), chosen);
    EXPECT_EQ(CurrentId(), focused);
    // What a command acts on is found by id.
    std::vector<TStoreId> commanded;
    for (int row : list.SelectedRows())
        commanded.push_back(IdOfRow(list, row));
    std::sort(commanded.begin(), commanded.end());
    EXPECT_EQ(commanded, chosen);
    pauses.Release();

    // ... and when the load has ended.
    ASSERT_TRUE(FWindow->Messages().WaitUntilParsed(120000));
    WaitForRows(list, kMessages);
    Settle(20);
    EXPECT_EQ(SortedSelection(), chosen);
    EXPECT_EQ(CurrentId(), focused);
    EXPECT_TRUE(list.PendingName().isEmpty());
}

// A store collection whose search for a message id runs a chosen step first,
// once, as a search that the parser overtakes would.
class TOvertakenSearchItems : public TOeMesgItems
{
public:
    mutable std::function<void()> BeforeNextSearch;

    int IndexOfName(const QString& name) const override
    {
        if (const auto before = std::exchange(BeforeNextSearch, nullptr))
            before();
        return TOeMesgItems::IndexOfName(name);
    }
};

// The list was asked for a message that sorts last and arrives last. The
// load ends while the list is searching for it, and the list does not know
// its row yet: the list keeps the name until it learns the row, then selects
// the message, instead of taking the load for over and the message for absent.
TEST_F(MesgListSelection, AMessageNamedBeforeALoadIsSelectedThoughTheLoadEndsDuringTheSearch)
{
    SaveMany(kInbox, 30, [](int n) { return TTestMessage("Message " + QByteArray::number(10 + n)); });
    const TStoreId last = Save(kInbox, TTestMessage("Zulu").MessageId("<zulu@example.org>"));
    auto owned = std::make_unique<TOvertakenSearchItems>();
    TOvertakenSearchItems& items = *owned;
    TMesgListView& list = List();
    list.SetMessages(std::move(owned));
    // The parser stops before the last message until the list searches.
    TParserPauses pauses({30});
    std::atomic<int> parsed{0};
    items.OnItemText = [&](TMesgItem& item) {
        const int n = ++parsed;
        if (static_cast<TStoreId>(item.Id()) == last)
            pauses.Reached(n);
        TMimeMessage message;
        item.DecodeInto(message, true);
        item.DeriveFields(message, DecodeListHeader(message));
        return QString();
    };
    list.SetMesgName("<zulu@example.org>");
    items.SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return pauses.HeldAt() == 30 && !items.Loading(); }, 20000));
    // The list searches on a count; meanwhile the parser lists the rest and
    // ends the load.
    items.BeforeNextSearch = [&] {
        pauses.Release();
        const QDeadlineTimer deadline(20000);
        while (items.LoadRunning() && !deadline.hasExpired())
            QThread::msleep(1);
    };
    items.SendCount();
    ASSERT_TRUE(items.WaitUntilParsed(20000));
    WaitForRows(list, 31);
    Settle(20);
    EXPECT_EQ(list.MesgName().toStdString(), "<zulu@example.org>");
}

TEST_F(MesgListSelection, SortingAgainKeepsTheSelectedMessages)
{
    SaveMany(kInbox, 40, [](int n) {
        return TTestMessage("Subject " + QByteArray::number(n % 10) + QByteArray::number(n / 10))
            .From("Sender " + QByteArray::number(39 - n) + " <s" + QByteArray::number(n) + "@example.org>");
    });
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.setFocus();
    Click(2);
    Click(5, Qt::ShiftModifier);
    Click(30, Qt::ControlModifier);
    const std::vector<TStoreId> chosen = SortedSelection();
    const TStoreId focused = CurrentId();
    ASSERT_EQ(chosen.size(), 5u);
    for (const TMessageSort sort : {msFromRealName, msFromEmail, msColumns, msDateReceived}) {
        list.SetMessageSort(sort);
        list.SetInvertSort(!list.InvertSort());
        EXPECT_EQ(SortedSelection(), chosen) << sort;
        EXPECT_EQ(CurrentId(), focused) << sort;
    }
}

TEST_F(MesgListSelection, MessagesDeletedElsewhereLeaveTheOthersSelected)
{
    const std::vector<TStoreId> ids =
        SaveMany(kInbox, 10, [](int n) { return TTestMessage("Subject " + QByteArray::number(n)); });
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.setFocus();
    Click(6);
    Click(8, Qt::ControlModifier);
    const std::vector<TStoreId> chosen = SortedSelection();
    // Another window deletes messages above and between them.
    FStore->SetFolderId(kInbox);
    ASSERT_EQ(FStore->Folder()->DeleteMessages({ids[0], ids[1], ids[7]}, 0, nullptr), srOk);
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == 7 && list.UpdateCount() == 0; }));
    Settle(20);
    EXPECT_EQ(SortedSelection(), chosen);
    EXPECT_EQ(CurrentId(), ids[8]);

    // The focused message itself goes: the row that takes its place is selected.
    ASSERT_EQ(FStore->Folder()->DeleteMessages({ids[8]}, 0, nullptr), srOk);
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == 6 && list.UpdateCount() == 0; }));
    Settle(20);
    EXPECT_EQ(SelectedIds(list), std::vector<TStoreId>{ids[9]});
}

} // namespace
