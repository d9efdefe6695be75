#include "tests/engine/StoreTestSupport.h"

namespace {

using TRecord = TEventRecorder::TRecord;

// Type, folder and (for folder changes) the change type of each record.
std::vector<std::tuple<int, TStoreId, int>> Shape(const std::vector<TRecord>& records)
{
    std::vector<std::tuple<int, TStoreId, int>> shape;
    for (const auto& r : records)
        shape.emplace_back(r.Type, r.FolderId, r.NotifyType);
    return shape;
}

class NotificationTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_EQ(FOther.Initialize(FPath), srOk);
        ASSERT_EQ(FOther.RegisterNotification(0, &FNamespaceReceiver), srOk);
        ASSERT_EQ(FOther.OpenFolder(kInbox, 0, FOtherInbox), srOk);
        ASSERT_EQ(FOtherInbox->RegisterNotification(0, &FInboxReceiver), srOk);
    }
    void TearDown() override
    {
        FOtherInbox->UnregisterNotification(&FInboxReceiver);
        FOther.UnregisterNotification(&FNamespaceReceiver);
        StoreTest::TearDown();
    }

    // A second namespace of the same process, as another window would open.
    TStoreNamespace FOther;
    std::unique_ptr<TStoreFolder> FOtherInbox;
    TEventRecorder FNamespaceReceiver;
    TEventRecorder FInboxReceiver;
};

} // namespace

TEST_F(NotificationTest, FolderChangesReachTheNamespaceReceiversOfAnotherNamespace)
{
    const TStoreId id = NewFolder(kInbox, "A");
    ASSERT_EQ(FStore.RenameFolder(id, 0, "B"), srOk);
    ASSERT_EQ(FStore.MoveFolder(id, kDrafts, 0), srOk);
    ASSERT_EQ(FStore.DeleteFolder(id, 0), srOk);   // a move into Deleted Items
    ASSERT_EQ(FStore.DeleteFolder(id, 0), srOk);   // final
    const std::vector<std::tuple<int, TStoreId, int>> expected{
        {seFolderChanged, id, fnNewFolder}, {seFolderChanged, id, fnRenamed}, {seFolderChanged, id, fnMoved},
        {seFolderChanged, id, fnMoved},     {seFolderChanged, id, fnFolderDeleted}};
    EXPECT_EQ(Shape(FNamespaceReceiver.Take()), expected);
    EXPECT_TRUE(FInboxReceiver.Take().empty());
}

TEST_F(NotificationTest, MessageEventsReachTheFolderReceiversInOrder)
{
    const TStoreId a = Save(kInbox, "a", kMsgUnread);
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->MarkMessagesAsRead(true, 0, {a}), srOk);
    ASSERT_EQ(inbox->MarkMessagesAsRead(false, 0, {a}), srOk);
    ASSERT_EQ(inbox->DeleteMessages({a}, 0, nullptr), srOk);

    const auto records = FInboxReceiver.Take();
    const std::vector<std::tuple<int, TStoreId, int>> expected{
        {seNewMessage, kInbox, 0}, {seMarkedRead, kInbox, 0}, {seMarkedUnread, kInbox, 0},
        {seMessagesDeleted, kInbox, 0}};
    EXPECT_EQ(Shape(records), expected);
    for (const auto& r : records)
        EXPECT_EQ(r.Ids, TMessageIdList{a});

    // Unread count (5) on every change of it; message count (8) on save and delete.
    std::vector<int> inboxChanges;
    for (const auto& r : FNamespaceReceiver.Take())
        if (r.FolderId == kInbox)
            inboxChanges.push_back(r.NotifyType);
    EXPECT_EQ(inboxChanges, (std::vector<int>{5, 8, 5, 5, 5, 8}));
}

TEST_F(NotificationTest, MarkingAnAlreadyReadMessageAnnouncesNothing)
{
    const TStoreId a = Save(kInbox, "a");
    FInboxReceiver.Take();
    FNamespaceReceiver.Take();
    ASSERT_EQ(Open(kInbox)->MarkMessagesAsRead(true, 0, {a}), srOk);
    EXPECT_TRUE(FInboxReceiver.Take().empty());
    EXPECT_TRUE(FNamespaceReceiver.Take().empty());
}

TEST_F(NotificationTest, DeletingAFolderForGoodTellsItsOwnReceivers)
{
    const TStoreId id = NewFolder(kDeletedItems, "Gone");
    std::unique_ptr<TStoreFolder> open;
    ASSERT_EQ(FOther.OpenFolder(id, 0, open), srOk);
    TEventRecorder receiver;
    ASSERT_EQ(open->RegisterNotification(0, &receiver), srOk);
    ASSERT_EQ(FStore.DeleteFolder(id, 0), srOk);
    EXPECT_EQ(Shape(receiver.Take()), (std::vector<std::tuple<int, TStoreId, int>>{{seFolderDeleted, id, 0}}));
    open->UnregisterNotification(&receiver);
}

TEST_F(NotificationTest, FailedOperationsAndUnregisteredReceiversGetNothing)
{
    EXPECT_NE(FStore.RenameFolder(kInbox, 0, "x"), srOk);
    EXPECT_TRUE(FNamespaceReceiver.Take().empty());
    ASSERT_EQ(FOther.UnregisterNotification(&FNamespaceReceiver), srOk);
    EXPECT_NE(FOther.UnregisterNotification(&FNamespaceReceiver), srOk);
    NewFolder(kInbox, "A");
    EXPECT_TRUE(FNamespaceReceiver.Take().empty());
    ASSERT_EQ(FOther.RegisterNotification(0, &FNamespaceReceiver), srOk);
}

namespace {

// A progress sink that calls the store each time, as a progress dialog
// whose event processing lets other windows read and write does.
class TStoreCallingSink : public IStoreProgress
{
public:
    explicit TStoreCallingSink(TStoreNamespace& store) : FStore(store) {}

    void NotifyProgress(quint32 current, quint32 maximum) override
    {
        Calls.emplace_back(current, maximum);
        TFolderProps props;
        std::unique_ptr<TStoreFolder> outbox;
        if (FStore.GetFolderProperties(kInbox, 0, props) != srOk || FStore.OpenFolder(kOutbox, 0, outbox) != srOk
            || outbox->SaveMessage("Subject: from the sink\r\n\r\n", 0, nullptr) != srOk)
            ++Failures;
    }

    std::vector<std::pair<quint32, quint32>> Calls;
    int Failures = 0;

private:
    TStoreNamespace& FStore;
};

} // namespace

TEST_F(NotificationTest, ASinkThatCallsTheStoreLosesNoNotificationAndNoWrite)
{
    struct TCase {
        const char* Name;
        TStoreId Source;
        TStoreId Target;   // the folder whose receivers hear of the messages; the source when none
        bool Move;
        int Event;
    };
    const TCase cases[] = {
        {"move", kInbox, kDrafts, true, seNewMessage},
        {"copy", kInbox, kSentItems, false, seNewMessage},
        {"deletion inside Deleted Items", kDeletedItems, kDeletedItems, false, seMessagesDeleted},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMessageIdList ids;
        for (int i = 0; i < 3; ++i)
            ids.push_back(Save(c.Source, "Subject: " + QByteArray::number(i) + "\r\n\r\n"));
        std::unique_ptr<TStoreFolder> watched;
        ASSERT_EQ(FOther.OpenFolder(c.Target, 0, watched), srOk);
        TEventRecorder receiver;
        ASSERT_EQ(watched->RegisterNotification(0, &receiver), srOk);
        receiver.Take();
        const int outboxBefore = Props(kOutbox).MessageCount;

        TStoreCallingSink sink(FStore);
        auto source = Open(c.Source);
        auto target = Open(c.Target);
        const TStoreResult result = c.Source == c.Target ? source->DeleteMessages(ids, 0, &sink)
                                                         : source->CopyMoveMessages(*target, ids, c.Move ? 1 : 0, 0, &sink);
        ASSERT_EQ(result, srOk);
        EXPECT_EQ(sink.Calls, (std::vector<std::pair<quint32, quint32>>{{1, 3}, {2, 3}, {3, 3}}));
        EXPECT_EQ(sink.Failures, 0);
        EXPECT_EQ(Props(kOutbox).MessageCount, outboxBefore + 3);
        int heard = 0;
        for (const auto& record : receiver.Take())
            heard += record.Type == c.Event ? static_cast<int>(record.Ids.size()) : 0;
        EXPECT_EQ(heard, 3);
        watched->UnregisterNotification(&receiver);
    }
}
