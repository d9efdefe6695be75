#include "store/OEFolders.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

#include "base/FastMemoryStream.h"
#include "engine/StoreFaults.h"
#include "store/OutlookError.h"
#include "settings/UiHooks.h"
#include "tests/support/TestEnvironment.h"

#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kDeletedItems = 4;
constexpr TStoreId kDrafts = 5;

QByteArray Message(int number, const char* subject = nullptr)
{
    // Subjects of one length: the comparison cuts subjects one character
    // apart, which makes "Message 1" and "Message 10" equal.
    const QByteArray title = subject ? QByteArray(subject) : "Message " + QByteArray::number(100 + number % 97);
    return "From: Sender " + QByteArray::number(number % 13) + " <s" + QByteArray::number(number) + "@example.org>\r\n"
           "To: Reader <r@example.org>\r\nSubject: " + title + "\r\n"
           "Date: Mon, 2 Mar 2026 10:" + QByteArray::number(10 + number % 50) + ":00 +0000\r\n"
           "Message-ID: <" + QByteArray::number(number) + "@example.org>\r\n\r\nBody " + QByteArray::number(number) + "\r\n";
}

// A list control stand-in: the selection is what the test says; it counts
// the display updates that refresh it (from any thread).
class TSelectionControl : public IVirtualListControl
{
public:
    void SendItemCount(int) override {}
    void SendRowUpdate(int) override {}
    void SendClear() override {}
    void BeginUpdateFromAnyThread() override {}
    void EndUpdateFromAnyThread() override { ++Refreshes; }
    void ListChanged() override {}
    void PostToControl(int) override {}
    void PostToWindow(int) override {}
    void ItemRemoved(const TVirtItem*) override {}
    bool ShowsCheckBoxes() const override { return false; }
    std::vector<int> SelectedRows() const override { return Selected; }
    std::vector<int> Selected;
    std::atomic<int> Refreshes{0};
};

class MessageCollection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FStore = std::make_unique<TOEFolders>();
        FItems = std::make_unique<TOeMesgItems>();
        FItems->SetControl(&FControl);
        FItems->OnChange = [this](TOeMesgItems*) { FAnnounced.push_back(FItems->FolderId()); };
        FPreviousHandler = SetErrorBoxHandler([this](const QString& text) { FBoxes.push_back(text); });
    }
    void TearDown() override
    {
        SetErrorBoxHandler(FPreviousHandler);
        FGate.Open();
        FItems->SetControl(nullptr);
        FItems.reset();
        TStoreFaults::Reset();
    }

    // Holds the parser thread in the list's text event while it is shut, as
    // a slow parse would.
    class TGate
    {
    public:
        void Shut()
        {
            std::lock_guard lock(FMutex);
            FShut = true;
        }
        void Open()
        {
            {
                std::lock_guard lock(FMutex);
                FShut = false;
            }
            FChanged.notify_all();
        }
        // Parser thread: waits while shut (never for ever).
        void Pass()
        {
            std::unique_lock lock(FMutex);
            FChanged.wait_for(lock, std::chrono::seconds(20), [this] { return !FShut; });
        }

    private:
        std::mutex FMutex;
        std::condition_variable FChanged;
        bool FShut = false;
    };

    // Items of messages with ids up to `last` wait at the gate; the others
    // take `delayMs` to parse.
    void SlowParser(TStoreId last, int delayMs)
    {
        FItems->OnItemText = [this, last, delayMs](TMesgItem& item) {
            if (static_cast<TStoreId>(item.Id()) <= last)
                FGate.Pass();
            else if (delayMs > 0)
                QThread::msleep(static_cast<unsigned long>(delayMs));
            return QString();
        };
    }

    // Saves messages into a folder through a namespace of its own.
    std::vector<TStoreId> Fill(TStoreId folder, int count, quint32 state = 0, int first = 0)
    {
        std::unique_ptr<TStoreFolder> open;
        EXPECT_EQ(FStore->Namespace().OpenFolder(folder, 0, open), srOk);
        std::vector<TStoreId> ids;
        for (int i = first; i < first + count; ++i) {
            TStoreId id = kNoStoreId;
            EXPECT_EQ(open->SaveMessage(Message(i), state, &id), srOk);
            ids.push_back(id);
        }
        return ids;
    }

    void Open(TStoreId folder)
    {
        FItems->SetFolderId(folder);
        ASSERT_TRUE(FItems->WaitUntilParsed(60000));
    }

    std::vector<TStoreId> Ids() const
    {
        std::vector<TStoreId> ids;
        for (int i = 0; i < FItems->Count(); ++i)
            ids.push_back(static_cast<TStoreId>(FItems->Item(i)->Id()));
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    TOeMesgItem* ItemAt(int index) const { return static_cast<TOeMesgItem*>(FItems->Item(index)); }

    // Reads an item under the collection's lock: the parser thread writes it.
    template <class TRead>
    auto Locked(TRead read) const
    {
        TReadGuard<const TSyncItems> guard(*FItems);
        return read();
    }

    std::unique_ptr<TOEFolders> FStore;   // another model on the same store, as another window
    TSelectionControl FControl;
    std::unique_ptr<TOeMesgItems> FItems;
    std::vector<TStoreId> FAnnounced;     // the folder of every OnChange
    TGate FGate;
    TErrorBoxHandler FPreviousHandler;
    QStringList FBoxes;
};

TEST_F(MessageCollection, LoadingAFolderFillsParsesAndSortsEveryMessage)
{
    const std::vector<TStoreId> ids = Fill(kInbox, 2000, kMsgUnread);
    Open(kInbox);
    EXPECT_EQ(Ids(), ids);
    EXPECT_EQ(FItems->CountOf(stUnread), 2000);
    const TSortOrder order = FItems->SortOrder();
    for (int i = 0; i < FItems->Count(); ++i) {
        ASSERT_TRUE(ItemAt(i)->Parsed());
        ASSERT_TRUE(ItemAt(i)->DateReceived() > 0);
        if (i > 0) {
            ASSERT_LE(CompareMessages(*ItemAt(i - 1), *ItemAt(i), order), 0) << i;
        }
    }
    EXPECT_EQ(FItems->GetCaption(), QStringLiteral("Inbox"));
}

// The folder asked for while another loads opens once that load has seen
// its break, not inside it; the abandoned load is not announced as loaded.
TEST_F(MessageCollection, SwitchingFoldersDuringALoadShowsAndAnnouncesOnlyTheNewFolder)
{
    Fill(kInbox, 6000);
    const std::vector<TStoreId> drafts = Fill(kDrafts, 10, 0, 90000);
    int nested = 0;
    int depth = 0;
    const auto previous = FItems->Folders().OnFolderOpened;
    FItems->Folders().OnFolderOpened = [&](TOEFolders* sender, TStoreId id) {
        nested += depth > 0 ? 1 : 0;
        ++depth;
        previous(sender, id);
        --depth;
    };
    bool switched = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        // The parser lists a load's messages after the store has read them:
        // the load runs until the last of them is listed.
        if (!switched && FItems->LoadRunning() && FItems->Count() > 0) {
            switched = true;
            FItems->SetFolderId(kDrafts);
        }
    });
    timer.start(0);
    FItems->SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return switched; }, 60000));
    ASSERT_TRUE(FItems->WaitUntilParsed(60000));
    EXPECT_EQ(FItems->FolderId(), kDrafts);
    EXPECT_EQ(Ids(), drafts);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(FAnnounced, std::vector<TStoreId>{kDrafts});
}

TEST_F(MessageCollection, AnUnknownFolderFallsBackToTheParentOrTheInbox)
{
    const TStoreId parent = FStore->AddFolder(kInbox, "Parent");
    const TStoreId child = FStore->AddFolder(parent, "Child");
    Open(child);
    FItems->SetFolderId(4242);
    ASSERT_TRUE(FItems->WaitUntilParsed(10000));
    EXPECT_EQ(FItems->FolderId(), parent);
    TOeMesgItems fresh;
    fresh.SetFolderId(4242);
    ASSERT_TRUE(fresh.WaitUntilParsed(10000));
    EXPECT_EQ(fresh.FolderId(), kInbox);
}

TEST_F(MessageCollection, SaveEditedKeepsTheStateAndAddsNoDuplicate)
{
    const quint32 state = kMsgUnread | kMsgReplied | kMsgFlagged | kMsgUnsent;
    Fill(kInbox, 3, state);
    Open(kInbox);
    TOeMesgItem* item = FItems->ItemByMessageId(static_cast<TStoreId>(ItemAt(0)->Id()));
    const unsigned char bits = item->State();
    TFastMemoryStream edited;
    const QByteArray source = Message(7, "Edited subject");
    edited.WriteBuffer(source.constData(), source.size());
    FItems->SaveEdited(*item, edited);
    ASSERT_TRUE(WaitUntil([&] { return Locked([&] { return item->Parsed(); }); }));
    WaitUntil([] { return false; }, 200);   // let every notification arrive
    EXPECT_EQ(FItems->Count(), 3);
    EXPECT_EQ(item->State(), bits);
    EXPECT_EQ(item->Subject(), QStringLiteral("Edited subject"));
    TMessageProps props;
    ASSERT_EQ(FItems->Folders().Folder()->GetMessageProperties(static_cast<TStoreId>(item->Id()), 1, props), srOk);
    EXPECT_EQ(props.State, state);
    EXPECT_EQ(props.Size, static_cast<quint32>(source.size()));
}

TEST_F(MessageCollection, NotificationsFromAnotherNamespaceAreReflected)
{
    const std::vector<TStoreId> ids = Fill(kInbox, 3, kMsgUnread);
    Open(kInbox);
    FStore->SetFolderId(kInbox);
    const TStoreId added = Fill(kInbox, 1, 0, 500).front();
    ASSERT_TRUE(WaitUntil([&] {
        return Locked([&] { return FItems->ItemByMessageId(added) && FItems->ItemByMessageId(added)->Parsed(); });
    }));

    ASSERT_EQ(FStore->Folder()->MarkMessagesAsRead(true, 0, {ids[0]}), srOk);
    ASSERT_TRUE(WaitUntil([&] { return Locked([&] { return !FItems->ItemByMessageId(ids[0])->HasState(stUnread); }); }));
    ASSERT_EQ(FStore->Folder()->MarkMessagesAsRead(false, 0, {added}), srOk);
    ASSERT_TRUE(WaitUntil([&] { return Locked([&] { return FItems->ItemByMessageId(added)->HasState(stUnread); }); }));

    ASSERT_EQ(FStore->Folder()->DeleteMessages({ids[1]}, 0, nullptr), srOk);
    ASSERT_TRUE(WaitUntil([&] { return FItems->ItemByMessageId(ids[1]) == nullptr; }));
    EXPECT_EQ(FItems->Count(), 3);
}

TEST_F(MessageCollection, ADeletedOpenFolderGivesWayToItsParentOrTheInbox)
{
    const TStoreId doomed = FStore->AddFolder(kDeletedItems, "Doomed");
    Fill(doomed, 2);
    Open(doomed);
    ASSERT_TRUE(FStore->DeleteFolderId(doomed));   // inside Deleted Items: for good
    ASSERT_TRUE(WaitUntil([&] { return FItems->FolderId() != doomed; }));
    ASSERT_TRUE(FItems->WaitUntilParsed(10000));
    EXPECT_EQ(FItems->FolderId(), kDeletedItems);
    EXPECT_EQ(FItems->Count(), 0);
}

TEST_F(MessageCollection, DeletingAsksOnlyInsideDeletedItems)
{
    int asked = 0;
    FItems->OnConfirmDelete = [&](TOeMesgItems*) { ++asked; return false; };
    Fill(kInbox, 2);
    Open(kInbox);
    FControl.Selected = {0, 1};
    FItems->DeleteSelected();
    ASSERT_TRUE(WaitUntil([&] { return FItems->Count() == 0; }));
    EXPECT_EQ(asked, 0);

    Open(kDeletedItems);
    ASSERT_EQ(FItems->Count(), 2);
    FItems->DeleteSelected();
    EXPECT_EQ(asked, 1);
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(FItems->Count(), 2);
    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(kDeletedItems, props), srOk);
    EXPECT_EQ(props.MessageCount, 2);
}

TEST_F(MessageCollection, ImportedStreamsBecomeUnreadMessagesOfTheOpenFolder)
{
    Open(kDrafts);
    TFastMemoryStream stream;
    const QByteArray source = Message(1, "Imported");
    stream.WriteBuffer(source.constData(), source.size());
    stream.Seek(0, TSeekOrigin::Begin);
    TMesgItem* item = FItems->ImportStream(stream);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Locked([&] { return item->Parsed(); }); }));
    EXPECT_EQ(item->Subject(), QStringLiteral("Imported"));
    EXPECT_TRUE(item->HasState(stUnread));
    EXPECT_EQ(FItems->Count(), 1);
}

// Another window deletes one message and marks others read while their
// items wait for the parser, one of them in the middle of its parse.
TEST_F(MessageCollection, ChangesToMessagesWaitingForTheParserAreNotLost)
{
    const std::vector<TStoreId> ids = Fill(kInbox, 20, kMsgUnread);
    FGate.Shut();
    SlowParser(ids.back(), 0);
    FItems->SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return FAnnounced.size() == 1; }));
    FStore->SetFolderId(kInbox);
    ASSERT_EQ(FStore->Folder()->DeleteMessages({ids[5]}, 0, nullptr), srOk);
    ASSERT_EQ(FStore->Folder()->MarkMessagesAsRead(true, 0, {ids[0], ids[7]}), srOk);
    // One message leaves the folder and comes back, keeping its id.
    ASSERT_TRUE(FStore->CopyMoveTo({ids[9]}, kDrafts, true));
    FStore->SetFolderId(kDrafts);
    ASSERT_TRUE(FStore->CopyMoveTo({ids[9]}, kInbox, true));
    WaitUntil([] { return false; }, 100);   // the notifications arrive
    FGate.Open();
    ASSERT_TRUE(FItems->WaitUntilParsed(20000));
    std::vector<TStoreId> expected = ids;
    expected.erase(expected.begin() + 5);
    ASSERT_EQ(Ids(), expected);
    for (TStoreId id : expected) {
        const bool unread = Locked([&] { return FItems->ItemByMessageId(id)->HasState(stUnread); });
        EXPECT_EQ(unread, id != ids[0] && id != ids[7]) << id;
    }
    EXPECT_EQ(FItems->CountOf(stUnread), 17);
}

// A message marked read after the load took its list of messages, but before
// the load reached it, is listed as read.
TEST_F(MessageCollection, AMessageIsListedWithItsStateOfNowNotOfTheLoadsStart)
{
    const std::vector<TStoreId> ids = Fill(kInbox, 2000, kMsgUnread);
    FStore->SetFolderId(kInbox);
    bool marked = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!marked && FItems->Loading()) {
            marked = true;
            ASSERT_EQ(FStore->Folder()->MarkMessagesAsRead(true, 0, {ids.back()}), srOk);
        }
    });
    timer.start(0);
    Open(kInbox);
    ASSERT_TRUE(marked);
    EXPECT_FALSE(Locked([&] { return FItems->ItemByMessageId(ids.back())->HasState(stUnread); }));
    EXPECT_EQ(FItems->CountOf(stUnread), 1999);
}

// The parser reaches the end of a load in the same run as the load's
// messages (it was held up by the first one): the list is refreshed once,
// at the end; a message that arrives afterwards is refreshed once more.
TEST_F(MessageCollection, ALoadRefreshesTheListOnceAtItsEndAndALaterMessageOnceMore)
{
    const std::vector<TStoreId> ids = Fill(kInbox, 20);
    FGate.Shut();
    SlowParser(ids.front(), 0);
    FItems->SetFolderId(kInbox);
    // Announced: the load has queued its last message and its end.
    ASSERT_TRUE(WaitUntil([&] { return FAnnounced.size() == 1; }));
    FGate.Open();
    ASSERT_TRUE(FItems->WaitUntilParsed(20000));
    WaitUntil([] { return false; }, 100);   // a second refresh would arrive
    EXPECT_EQ(FControl.Refreshes.load(), 1);
    EXPECT_EQ(FItems->Count(), 20);

    Fill(kInbox, 1, 0, 500);
    ASSERT_TRUE(WaitUntil([&] { return FItems->Count() == 21; }));
    ASSERT_TRUE(FItems->WaitUntilParsed(20000));
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(FControl.Refreshes.load(), 2);
}

// The first load has queued all its items, but the parser is still busy
// with them when the user opens another folder: the end of the first load
// must not end the second.
TEST_F(MessageCollection, TheEndOfAnEarlierLoadDoesNotEndTheNextOne)
{
    const std::vector<TStoreId> inbox = Fill(kInbox, 300);
    const std::vector<TStoreId> drafts = Fill(kDrafts, 200, 0, 90000);
    FGate.Shut();
    SlowParser(inbox.back(), 1);
    FItems->SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return FAnnounced.size() == 1; }));
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (FItems->Loading() && FItems->FolderId() == kDrafts)
            FGate.Open();
    });
    timer.start(0);
    FItems->SetFolderId(kDrafts);
    ASSERT_TRUE(FItems->WaitUntilParsed(30000));
    EXPECT_EQ(Ids(), drafts);
}

// Two folders asked for before either opens: only the second is loaded and
// announced.
TEST_F(MessageCollection, ARequestReplacedBeforeItRanIsNeverLoaded)
{
    Fill(kInbox, 500);
    const std::vector<TStoreId> drafts = Fill(kDrafts, 5, 0, 90000);
    std::vector<TStoreId> opened;
    const auto previous = FItems->Folders().OnFolderOpened;
    FItems->Folders().OnFolderOpened = [&](TOEFolders* sender, TStoreId id) {
        opened.push_back(id);
        previous(sender, id);
    };
    FItems->SetFolderId(kInbox);
    FItems->SetFolderId(kDrafts);
    ASSERT_TRUE(FItems->WaitUntilParsed(30000));
    EXPECT_EQ(opened, std::vector<TStoreId>{kDrafts});
    EXPECT_EQ(FAnnounced, std::vector<TStoreId>{kDrafts});
    EXPECT_EQ(Ids(), drafts);
}

// The user asks for another folder and, before it opens, for the open one
// again: the open one stays.
TEST_F(MessageCollection, AskingForTheOpenFolderAgainCancelsTheFolderOnItsWay)
{
    const std::vector<TStoreId> inbox = Fill(kInbox, 3);
    Fill(kDrafts, 3, 0, 90000);
    Open(kInbox);
    FItems->SetFolderId(kDrafts);
    FItems->SetFolderId(kInbox);
    ASSERT_TRUE(FItems->WaitUntilParsed(10000));
    EXPECT_EQ(FItems->FolderId(), kInbox);
    EXPECT_EQ(Ids(), inbox);
}

// The folder model's folder changed at once, while a load lets events run:
// the load stops and never touches the folder it enumerated after that.
TEST_F(MessageCollection, AFolderChangedUnderARunningLoadEndsIt)
{
    Fill(kInbox, 3000);
    bool changed = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!changed && FItems->Loading()) {
            changed = true;
            FItems->Folders().SetFolderId(kDrafts);
        }
    });
    timer.start(0);
    FItems->SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return changed && !FItems->Loading(); }, 60000));
    EXPECT_TRUE(FAnnounced.empty());
    EXPECT_EQ(FItems->Folders().Namespace().OpenEnumerationCount(), 0u);
}

// The folder asked for is deleted for good before its request runs: the
// list opens the Inbox instead, as for a deleted open folder, quietly.
TEST_F(MessageCollection, AFolderDeletedBeforeItOpensGivesWayToTheInbox)
{
    const TStoreId doomed = FStore->AddFolder(kDeletedItems, "Doomed");
    const std::vector<TStoreId> inbox = Fill(kInbox, 3);
    Fill(doomed, 2, 0, 500);
    Open(kDrafts);
    FItems->SetFolderId(doomed);
    ASSERT_TRUE(FStore->DeleteFolderId(doomed));
    ASSERT_TRUE(FItems->WaitUntilParsed(10000));
    EXPECT_EQ(FItems->FolderId(), kInbox);
    EXPECT_EQ(Ids(), inbox);
    EXPECT_TRUE(FBoxes.isEmpty()) << FBoxes.join(QLatin1Char('\n')).toStdString();
}

// The old version of an edited message cannot be deleted: the user learns
// of it, and the edited version is listed.
TEST_F(MessageCollection, SaveEditedReportsAnOldVersionItCouldNotDelete)
{
    Fill(kInbox, 1);
    Open(kInbox);
    TOeMesgItem* item = ItemAt(0);
    TFastMemoryStream edited;
    const QByteArray source = Message(7, "Edited subject");
    edited.WriteBuffer(source.constData(), source.size());
    TStoreFaults::Inject(TStoreOp::DeleteMessages, 1);
    EXPECT_THROW(FItems->SaveEdited(*item, edited), EOutlookError);
    ASSERT_TRUE(WaitUntil([&] { return Locked([&] { return item->Parsed(); }); }));
    EXPECT_EQ(item->Subject(), QStringLiteral("Edited subject"));
    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(kInbox, props), srOk);
    EXPECT_EQ(props.MessageCount, 2);
}

} // namespace
