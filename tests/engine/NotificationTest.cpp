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
