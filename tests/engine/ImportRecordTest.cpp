// Imported messages: their received date as the importer gives it, and the
// record of where each came from, which lets a second import skip them.

#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreFaults.h"

#include <QIODevice>

namespace {

const TImportOrigin kOrigin{"file-identity", 0x1234};
const QByteArray kSource = "Received: by x; Tue, 1 Mar 2005 10:00:00 +0000\r\nSubject: s\r\n\r\nbody\r\n";

// Saves one imported message; its new id, or kNoStoreId.
TStoreId SaveOne(TStoreFolder& folder, const TImportOrigin& origin, quint32 state = 0,
                 const QDateTime& received = {})
{
    TMessageIdList ids;
    if (folder.SaveImportedMessages({{origin, kSource, state, received}}, &ids) != srOk || ids.size() != 1)
        return kNoStoreId;
    return ids.front();
}

TEST_F(StoreTest, AnImportedMessageKeepsTheGivenReceivedDateElseTheStoresRule)
{
    auto inbox = Open(kInbox);
    const QDateTime given = QDateTime(QDate(2003, 7, 14), QTime(8, 30), Qt::UTC);
    TMessageIdList ids;
    ASSERT_EQ(inbox->SaveImportedMessages({{kOrigin, kSource, kMsgUnread | kMsgFlagged, given},
                                           {{"other", 1}, kSource, 0, QDateTime()}},
                                          &ids),
              srOk);
    ASSERT_EQ(ids.size(), 2);
    const TStoreId first = ids[0];
    const TStoreId second = ids[1];

    TMessageProps props;
    ASSERT_EQ(inbox->GetMessageProperties(first, 0, props), srOk);
    EXPECT_EQ(props.Received, given);
    EXPECT_EQ(props.State, kMsgUnread | kMsgFlagged);
    ASSERT_EQ(inbox->GetMessageProperties(second, 0, props), srOk);
    EXPECT_EQ(props.Received, QDateTime(QDate(2005, 3, 1), QTime(10, 0), Qt::UTC));
    std::unique_ptr<QIODevice> stream;
    ASSERT_EQ(inbox->OpenMessage(first, stream), srOk);
    EXPECT_EQ(stream->readAll(), kSource);
}

TEST_F(StoreTest, TheImportRecordFollowsTheMessageUntilItIsDeletedForGood)
{
    TStoreId found = kNoStoreId;
    EXPECT_EQ(FStore.FindImportedMessage(kOrigin, &found), srNotFound);
    auto inbox = Open(kInbox);
    const TStoreId id = SaveOne(*inbox, kOrigin);
    ASSERT_NE(id, kNoStoreId);
    ASSERT_EQ(FStore.FindImportedMessage(kOrigin, &found), srOk);
    EXPECT_EQ(found, id);
    EXPECT_EQ(FStore.FindImportedMessage({kOrigin.File, kOrigin.Entry + 1}, &found), srNotFound);
    EXPECT_EQ(FStore.FindImportedMessage({"another file", kOrigin.Entry}, &found), srNotFound);

    // Moved to Deleted Items it is still in the store; deleted there, it is gone.
    ASSERT_EQ(inbox->DeleteMessages({id}, 0, nullptr), srOk);
    EXPECT_EQ(FStore.FindImportedMessage(kOrigin, &found), srOk);
    ASSERT_EQ(Open(kDeletedItems)->DeleteMessages({id}, 0, nullptr), srOk);
    EXPECT_EQ(FStore.FindImportedMessage(kOrigin, &found), srNotFound);

    // Imported again, the record points at the new message.
    const TStoreId again = SaveOne(*inbox, kOrigin);
    ASSERT_NE(again, kNoStoreId);
    ASSERT_EQ(FStore.FindImportedMessage(kOrigin, &found), srOk);
    EXPECT_EQ(found, again);
}

TEST_F(StoreTest, AFailedImportSavesNoneOfItsMessagesNorTheirRecords)
{
    auto inbox = Open(kInbox);
    const std::vector<TImportedMessage> batch = {{kOrigin, kSource, 0, {}}, {{"other", 2}, kSource, 0, {}}};
    TStoreFaults::Inject(TStoreOp::SaveMessage, 1);
    EXPECT_NE(inbox->SaveImportedMessages(batch, nullptr), srOk);
    TStoreFaults::Reset();
    EXPECT_TRUE(MessageIds(kInbox).empty());
    TStoreId found = kNoStoreId;
    EXPECT_EQ(FStore.FindImportedMessage(kOrigin, &found), srNotFound);
    // Into a folder that does not exist: refused, nothing recorded.
    std::unique_ptr<TStoreFolder> gone = Open(NewFolder(kInbox, "gone"));
    ASSERT_EQ(FStore.DeleteFolder(gone->Id(), 0), srOk);
    ASSERT_EQ(FStore.DeleteFolder(gone->Id(), 0), srOk);
    EXPECT_EQ(gone->SaveImportedMessages(batch, nullptr), srNotFound);
    EXPECT_EQ(FStore.FindImportedMessage({"other", 2}, &found), srNotFound);
}

} // namespace
