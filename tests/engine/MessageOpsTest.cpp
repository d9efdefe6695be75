#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreFaults.h"

#include <QFileInfo>

namespace {

const QByteArray kReceived =
    "Received: from mx.example.org by mail.example.net;\r\n"
    "\tTue, 14 Mar 2023 09:26:53 +0100 (CET)\r\n"
    "Subject: hello\r\n\r\nbody\r\n";

class CountingSink : public IStoreProgress
{
public:
    void NotifyProgress(quint32 current, quint32 maximum) override { Calls.push_back({current, maximum}); }
    std::vector<std::pair<quint32, quint32>> Calls;
};

} // namespace

TEST_F(StoreTest, SavedSourcesComeBackByteForByte)
{
    const std::vector<QByteArray> sources{
        "Subject: crlf\r\n\r\nline\r\n",
        "Subject: lf only\n\nline\n",
        "Subject: cr only\r\rline\r",
        QByteArrayLiteral("Subject: nul\r\n\r\na\0b\xff\xfe"),
        QByteArray(),
        QByteArray(3 * 1024 * 1024, 'z'),
    };
    auto inbox = Open(kInbox);
    for (const QByteArray& source : sources) {
        TStoreId id = kNoStoreId;
        ASSERT_EQ(inbox->SaveMessage(source, 0, &id), srOk);
        EXPECT_EQ(SourceIn(*inbox, id), source);
        QByteArray direct;
        EXPECT_EQ(inbox->ReadSource(id, direct), srOk);
        EXPECT_EQ(direct, source);
        TMessageProps props;
        ASSERT_EQ(inbox->GetMessageProperties(id, 1, props), srOk);
        EXPECT_EQ(props.Size, static_cast<quint32>(source.size()));
    }
}

TEST_F(StoreTest, ReceivedDateComesFromTheTopmostReceivedHeaderElseTheSavingTime)
{
    auto inbox = Open(kInbox);
    TStoreId withHeader = kNoStoreId;
    TStoreId without = kNoStoreId;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    ASSERT_EQ(inbox->SaveMessage(kReceived, kMsgUnread, &withHeader), srOk);
    ASSERT_EQ(inbox->SaveMessage("Subject: none\r\n\r\n", 0, &without), srOk);
    TMessageProps props;
    ASSERT_EQ(inbox->GetMessageProperties(withHeader, 1, props), srOk);
    EXPECT_EQ(props.Received, QDateTime(QDate(2023, 3, 14), QTime(8, 26, 53), Qt::UTC));
    EXPECT_EQ(props.State, kMsgUnread);
    ASSERT_EQ(inbox->GetMessageProperties(without, 1, props), srOk);
    EXPECT_GE(props.Received, before);
}

TEST_F(StoreTest, CopyAndMoveKeepStateSizeAndDate)
{
    const quint32 state = kMsgUnread | kMsgReplied | kMsgFlagged | kMsgUnsent;
    const TStoreId id = Save(kInbox, kReceived, state);
    auto inbox = Open(kInbox);
    auto drafts = Open(kDrafts);
    TMessageProps original;
    ASSERT_EQ(inbox->GetMessageProperties(id, 1, original), srOk);

    CountingSink sink;
    ASSERT_EQ(inbox->CopyMoveMessages(*drafts, {id}, 0, 0, &sink), srOk);
    ASSERT_EQ(MessageIds(kDrafts).size(), 1u);
    const TStoreId copy = MessageIds(kDrafts)[0];
    EXPECT_NE(copy, id);
    TMessageProps copied;
    ASSERT_EQ(drafts->GetMessageProperties(copy, 1, copied), srOk);
    EXPECT_EQ(copied.State, state);
    EXPECT_EQ(copied.Size, original.Size);
    EXPECT_EQ(copied.Received, original.Received);
    EXPECT_EQ(SourceIn(*drafts, copy), kReceived);
    EXPECT_EQ(sink.Calls, (std::vector<std::pair<quint32, quint32>>{{1, 1}}));

    ASSERT_EQ(inbox->CopyMoveMessages(*drafts, {id}, 1, 0, nullptr), srOk);
    EXPECT_TRUE(MessageIds(kInbox).empty());
    EXPECT_EQ(MessageIds(kDrafts), (std::vector<TStoreId>{id, copy}));
    EXPECT_EQ(Props(kDrafts).UnreadCount, 2);
}

TEST_F(StoreTest, CopyWithAnUnknownIdCopiesNothing)
{
    const TStoreId id = Save(kInbox, "a");
    auto inbox = Open(kInbox);
    auto drafts = Open(kDrafts);
    EXPECT_EQ(inbox->CopyMoveMessages(*drafts, {id, 999}, 1, 0, nullptr), srNotFound);
    EXPECT_EQ(MessageIds(kInbox), (std::vector<TStoreId>{id}));
    EXPECT_TRUE(MessageIds(kDrafts).empty());
}

TEST_F(StoreTest, DeletingOutsideDeletedItemsMovesThereAndInsideIsFinal)
{
    const TStoreId sub = NewFolder(kDeletedItems, "Below deleted");
    const TStoreId a = Save(kInbox, "a", kMsgUnread);
    const TStoreId b = Save(kInbox, "b");
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->DeleteMessages({a}, 0, nullptr), srOk);
    EXPECT_EQ(MessageIds(kInbox), (std::vector<TStoreId>{b}));
    EXPECT_EQ(MessageIds(kDeletedItems), (std::vector<TStoreId>{a}));

    auto deleted = Open(kDeletedItems);
    ASSERT_EQ(deleted->DeleteMessages({a}, 0, nullptr), srOk);
    EXPECT_TRUE(MessageIds(kDeletedItems).empty());

    // A folder below Deleted Items counts as inside it.
    const TStoreId c = Save(sub, "c");
    ASSERT_EQ(Open(sub)->DeleteMessages({c}, 0, nullptr), srOk);
    EXPECT_TRUE(MessageIds(sub).empty());
    EXPECT_TRUE(MessageIds(kDeletedItems).empty());
}

TEST_F(StoreTest, MarkingReadAndUnreadChangesOnlyTheUnreadBit)
{
    const TStoreId id = Save(kInbox, "m", kMsgUnread | kMsgFlagged);
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->MarkMessagesAsRead(true, 0, {id}), srOk);
    TMessageProps props;
    ASSERT_EQ(inbox->GetMessageProperties(id, 1, props), srOk);
    EXPECT_EQ(props.State, kMsgFlagged);
    EXPECT_EQ(Props(kInbox).UnreadCount, 0);
    ASSERT_EQ(inbox->MarkMessagesAsRead(false, 0, {id}), srOk);
    ASSERT_EQ(inbox->GetMessageProperties(id, 1, props), srOk);
    EXPECT_EQ(props.State, kMsgFlagged | kMsgUnread);
    EXPECT_EQ(inbox->MarkMessagesAsRead(true, 0, {id + 100}), srNotFound);
}

TEST_F(StoreTest, MessageEnumerationIsInStoreOrderAndCanStartAtAnId)
{
    std::vector<TStoreId> ids;
    for (int i = 0; i < 5; ++i)
        ids.push_back(Save(kInbox, QByteArray::number(i)));
    EXPECT_EQ(MessageIds(kInbox), ids);
    auto inbox = Open(kInbox);
    TMessageProps props;
    TEnumHandle handle = 0;
    ASSERT_EQ(inbox->GetFirstMessage(1, 0, ids[3], props, handle), srOk);
    EXPECT_EQ(props.Id, ids[3]);
    inbox->GetMessageClose(handle);
}

TEST_F(StoreTest, CompactionReclaimsTheSpaceOfDeletedMessages)
{
    auto deleted = Open(kDeletedItems);
    TMessageIdList ids;
    for (int i = 0; i < 20; ++i) {
        TStoreId id = kNoStoreId;
        ASSERT_EQ(deleted->SaveMessage(QByteArray(256 * 1024, char('a' + i)), 0, &id), srOk);
        ids.push_back(id);
    }
    ASSERT_EQ(FStore.CompactAll(0), srOk);
    const qint64 full = QFileInfo(FPath).size();
    ASSERT_EQ(deleted->DeleteMessages(ids, 0, nullptr), srOk);
    ASSERT_EQ(FStore.CompactAll(0), srOk);
    EXPECT_LT(QFileInfo(FPath).size(), full / 4);
    EXPECT_EQ(deleted->Compact(0), srOk);
}

// The window compacts over a connection of its own while its folders stay
// open; a stop asked for on the way leaves the store as it was.
TEST_F(StoreTest, CompactionStopsWhenAskedAndRunsBesideAnotherConnection)
{
    std::vector<TStoreId> kept;
    for (int i = 0; i < 300; ++i)
        kept.push_back(Save(kInbox, "message " + QByteArray::number(i)));
    auto deleted = Open(kDeletedItems);
    TMessageIdList ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back(Save(kDeletedItems, QByteArray(64 * 1024, char('a' + i % 26))));
    ASSERT_EQ(deleted->DeleteMessages(ids, 0, nullptr), srOk);

    TStoreNamespace other;
    ASSERT_EQ(other.Initialize(FPath), srOk);
    int asked = 0;
    EXPECT_EQ(other.CompactAll(0, [&] { return ++asked < 2; }), srCancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(MessageIds(kInbox), kept);

    EXPECT_EQ(other.CompactAll(0, [] { return true; }), srOk);
    EXPECT_LT(QFileInfo(FPath).size(), 40 * 64 * 1024);
    EXPECT_EQ(MessageIds(kInbox), kept);
}

TEST_F(StoreTest, FailedSaveAndMoveLeaveEverythingInPlace)
{
    const TStoreId id = Save(kInbox, "keep");
    auto inbox = Open(kInbox);
    auto drafts = Open(kDrafts);
    TStoreFaults::Inject(TStoreOp::SaveMessage, 1);
    EXPECT_EQ(inbox->SaveMessage("new", 0, nullptr), srInjectedFailure);
    TStoreFaults::Inject(TStoreOp::CopyMoveMessages, 1);
    EXPECT_EQ(inbox->CopyMoveMessages(*drafts, {id}, 1, 0, nullptr), srInjectedFailure);
    TStoreFaults::Inject(TStoreOp::DeleteMessages, 1);
    EXPECT_EQ(inbox->DeleteMessages({id}, 0, nullptr), srInjectedFailure);
    EXPECT_EQ(MessageIds(kInbox), (std::vector<TStoreId>{id}));
    EXPECT_TRUE(MessageIds(kDrafts).empty());
    EXPECT_EQ(SourceIn(*inbox, id), "keep");
}

TEST_F(StoreTest, SettingsAreKeptInTheStore)
{
    qint64 value = 0;
    EXPECT_EQ(FStore.ReadSetting("MarkPreviewAsRead", value), srNotFound);
    ASSERT_EQ(FStore.WriteSetting("MarkPreviewAsRead", 2500), srOk);
    TStoreNamespace other;
    ASSERT_EQ(other.Initialize(FPath), srOk);
    ASSERT_EQ(other.ReadSetting("MarkPreviewAsRead", value), srOk);
    EXPECT_EQ(value, 2500);
}
