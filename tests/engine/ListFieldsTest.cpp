// Reading a folder in steps as a message list loads it, the list fields kept
// per message and key, and saving many messages in one transaction.

#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreFaults.h"

#include <QFile>

#include <sqlite3.h>

namespace {

QByteArray SourceFor(int number)
{
    return "Subject: message " + QByteArray::number(number) + "\r\n\r\nbody\r\n";
}

class ListFields : public StoreTest
{
protected:
    // The folder read in steps of `step` messages.
    std::vector<TMessageListing> ReadAll(TStoreFolder& folder, const QByteArray& key, int step = 2)
    {
        std::vector<TMessageListing> all;
        std::vector<TMessageListing> rows;
        TStoreId after = 0;
        for (;;) {
            EXPECT_EQ(folder.ReadListing(after, step, key, rows), srOk);
            if (rows.empty())
                return all;
            EXPECT_LE(rows.size(), static_cast<size_t>(step));
            after = rows.back().Props.Id;
            all.insert(all.end(), rows.begin(), rows.end());
        }
    }

    // The fields kept for each message of the folder under the key, in id order.
    std::vector<QByteArray> FieldsIn(TStoreId folder, const QByteArray& key)
    {
        std::vector<QByteArray> fields;
        for (const TMessageListing& row : ReadAll(*Open(folder), key))
            fields.push_back(row.Fields);
        return fields;
    }

    qint64 Count(const char* sql) const { return SqlInt(FPath, sql); }
};

} // namespace

TEST_F(ListFields, AFolderReadInStepsGivesEveryMessageOnceInIdOrderWithFieldsOrSource)
{
    auto inbox = Open(kInbox);
    TMessageIdList ids;
    for (int i = 0; i < 5; ++i)
        ids.push_back(Save(kInbox, SourceFor(i), i % 2 ? kMsgUnread : 0));
    Save(kDrafts, SourceFor(99));
    ASSERT_EQ(inbox->WriteListFields("key A", {{ids[1], "fields 1"}, {ids[3], "fields 3"}}), srOk);

    const std::vector<TMessageListing> rows = ReadAll(*inbox, "key A");
    ASSERT_EQ(rows.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const TMessageListing& row = rows[static_cast<size_t>(i)];
        EXPECT_EQ(row.Props.Id, ids[i]);
        EXPECT_EQ(row.Props.State, i % 2 ? kMsgUnread : 0u);
        EXPECT_EQ(row.Props.Size, static_cast<quint32>(SourceFor(i).size()));
        EXPECT_TRUE(row.Props.Received.isValid());
        const bool kept = i == 1 || i == 3;
        EXPECT_EQ(row.Fields, kept ? "fields " + QByteArray::number(i) : QByteArray()) << i;
        // The source comes only where the list must parse the message.
        EXPECT_EQ(row.Source, kept ? QByteArray() : SourceFor(i)) << i;
    }
    // Another key finds no fields.
    for (const TMessageListing& row : ReadAll(*inbox, "key B"))
        EXPECT_TRUE(row.Fields.isEmpty());
}

TEST_F(ListFields, ARecordIsReplacedUnderAnotherKeyAndLeftOutForAMessageThatIsGone)
{
    const TStoreId id = Save(kInbox, SourceFor(1));
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->WriteListFields("old", {{id, "old fields"}}), srOk);
    ASSERT_EQ(inbox->WriteListFields("new", {{id, "new fields"}, {id + 100, "nobody's"}}), srOk);
    EXPECT_EQ(FieldsIn(kInbox, "new"), std::vector<QByteArray>{"new fields"});
    EXPECT_EQ(FieldsIn(kInbox, "old"), std::vector<QByteArray>{QByteArray()});
    EXPECT_EQ(Count("SELECT count(*) FROM listfields"), 1);
}

// Copies take their records along, moves keep them, and a message deleted
// for good takes its record with it; compaction drops any record left over.
TEST_F(ListFields, RecordsFollowTheirMessages)
{
    const TStoreId work = NewFolder(kInbox, "Work");
    const TStoreId first = Save(kInbox, SourceFor(1));
    const TStoreId second = Save(kInbox, SourceFor(2));
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->WriteListFields("key", {{first, "first"}, {second, "second"}}), srOk);

    auto target = Open(work);
    ASSERT_EQ(inbox->CopyMoveMessages(*target, {first}, 0, 0, nullptr), srOk);
    EXPECT_EQ(FieldsIn(work, "key"), std::vector<QByteArray>{"first"});
    ASSERT_EQ(inbox->CopyMoveMessages(*target, {second}, 1, 0, nullptr), srOk);
    // The moved message keeps its id, older than the copy's.
    EXPECT_EQ(FieldsIn(work, "key"), (std::vector<QByteArray>{"second", "first"}));

    // Deleting moves into Deleted Items (the record stays), and there for good.
    ASSERT_EQ(target->DeleteMessages({second}, 0, nullptr), srOk);
    EXPECT_EQ(FieldsIn(kDeletedItems, "key"), std::vector<QByteArray>{"second"});
    ASSERT_EQ(Open(kDeletedItems)->DeleteMessages({second}, 0, nullptr), srOk);
    EXPECT_EQ(Count("SELECT count(*) FROM listfields"), 2);

    // A record whose message went while the store was changed by other means.
    const TStoreId gone = Save(kInbox, SourceFor(3));
    ASSERT_EQ(inbox->WriteListFields("other key", {{gone, "gone"}}), srOk);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(FPath).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER messages_removed_fields; DELETE FROM messages WHERE id = (SELECT max(id) FROM messages)",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Count("SELECT count(*) FROM listfields"), 3);
    ASSERT_EQ(Open(kDeletedItems)->Compact(0), srOk);
    EXPECT_EQ(Count("SELECT count(*) FROM listfields"), 2);
    EXPECT_EQ(Count("SELECT count(*) FROM listkeys"), 1);
}

TEST_F(ListFields, FailuresChangeNothing)
{
    const TStoreId id = Save(kInbox, SourceFor(1));
    auto inbox = Open(kInbox);
    std::vector<TMessageListing> rows;
    TStoreFaults::Inject(TStoreOp::ReadListing, 1);
    EXPECT_EQ(inbox->ReadListing(0, 10, "key", rows), srInjectedFailure);
    TStoreFaults::Inject(TStoreOp::WriteListFields, 1);
    EXPECT_EQ(inbox->WriteListFields("key", {{id, "fields"}}), srInjectedFailure);
    EXPECT_EQ(Count("SELECT count(*) FROM listfields"), 0);
    const TStoreId work = NewFolder(kInbox, "Work");
    auto folder = Open(work);
    ASSERT_EQ(FStore.DeleteFolder(work, 0), srOk);
    ASSERT_EQ(FStore.DeleteFolder(work, 0), srOk);
    EXPECT_EQ(folder->ReadListing(0, 10, "key", rows), srNotFound);
}

TEST_F(ListFields, ManyMessagesAreSavedInOneTransactionAndEachIsAnnounced)
{
    TEventRecorder recorder;
    auto inbox = Open(kInbox);
    ASSERT_EQ(inbox->RegisterNotification(0, &recorder), srOk);
    const std::vector<QByteArray> sources{SourceFor(1), SourceFor(2), SourceFor(3)};
    TMessageIdList ids;
    ASSERT_EQ(inbox->SaveMessages(sources, kMsgUnread, &ids), srOk);
    ASSERT_EQ(ids.size(), 3);
    EXPECT_EQ(IdsIn(*inbox), ids);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SourceIn(*inbox, ids[i]), sources[static_cast<size_t>(i)]);
    std::vector<TStoreId> announced;
    for (const TEventRecorder::TRecord& record : recorder.Take())
        if (record.Type == seNewMessage)
            announced.insert(announced.end(), record.Ids.begin(), record.Ids.end());
    EXPECT_EQ(announced, std::vector<TStoreId>(ids.begin(), ids.end()));
    EXPECT_EQ(Props(kInbox).UnreadCount, 3);
    EXPECT_EQ(Props(kInbox).MessageCount, 3);

    // A failing batch saves nothing.
    TStoreFaults::Inject(TStoreOp::SaveMessage, 1);
    EXPECT_EQ(inbox->SaveMessages(sources, 0, &ids), srInjectedFailure);
    EXPECT_EQ(Props(kInbox).MessageCount, 3);
    inbox->UnregisterNotification(&recorder);
}
