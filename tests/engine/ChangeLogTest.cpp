#include "tests/engine/ChildProcess.h"
#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreChangeFeed.h"
#include "engine/StoreChangeLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <sqlite3.h>

namespace {

TStoreEvents Events(std::initializer_list<std::pair<TStoreEventType, TMessageIdList>> list)
{
    TStoreEvents events;
    for (const auto& [type, ids] : list) {
        auto event = std::make_unique<TStoreEvent>(type, 7);
        event->NotifyType = type == seFolderChanged ? fnRenamed : 0;
        event->Ids = ids;
        events.push_back(std::move(event));
    }
    return events;
}

// Runs SQL on the store through a plain SQLite connection, as another
// program would; `blob` is bound to the first parameter.
void RunSql(const QString& path, const char* sql, const QByteArray& blob = QByteArray())
{
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    ASSERT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    if (sqlite3_bind_parameter_count(stmt) > 0)
        sqlite3_bind_blob(stmt, 1, blob.constData(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

template <class TCondition>
bool WaitUntil(TCondition condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return condition();
}

constexpr int kPoll = TStoreChangeFeed::kPollMilliseconds;

class ChangeLogTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_EQ(FStore.RegisterNotification(0, &FTree), srOk);
        FFeed = TStoreChangeFeed::Running(FStore.Path());
        ASSERT_TRUE(FFeed);
    }
    void TearDown() override
    {
        FStore.UnregisterNotification(&FTree);
        FFeed.reset();
        StoreTest::TearDown();
    }

    TEventRecorder FTree;
    std::shared_ptr<TStoreChangeFeed> FFeed;
};

} // namespace

TEST(ChangeLogFormat, ReadsBackWhatItWroteAndRefusesAnythingElse)
{
    const TStoreEvents written = Events({{seFolderChanged, {}}, {seNewMessage, {1, 2, 3}}, {seMarkedRead, {9}}});
    const QByteArray bytes = TStoreChangeLog::Encode(written);
    TStoreEvents read;
    ASSERT_TRUE(TStoreChangeLog::Decode(bytes, read));
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i]->StoreType(), written[i]->StoreType());
        EXPECT_EQ(read[i]->FolderId, 7u);
        EXPECT_EQ(read[i]->NotifyType, written[i]->NotifyType);
        EXPECT_EQ(read[i]->Ids, written[i]->Ids);
    }

    QByteArray unknownType = qUncompress(TStoreChangeLog::Encode(Events({{seNewMessage, {1}}})));
    unknownType[5 + 3] = 0x7F;   // the first event's type, after the format byte and the count
    QByteArray hugeCount = qUncompress(bytes);
    hugeCount[1] = '\x7F';
    const struct {
        const char* Name;
        QByteArray Bytes;
    } damaged[] = {
        {"empty", QByteArray()},
        {"not compressed", QByteArray("garbage garbage garbage")},
        {"cut short", qCompress(qUncompress(bytes).left(30))},
        {"count beyond the bytes", qCompress(hugeCount)},
        {"unknown event type", qCompress(unknownType)},
    };
    for (const auto& row : damaged) {
        TStoreEvents events;
        EXPECT_FALSE(TStoreChangeLog::Decode(row.Bytes, events)) << row.Name;
        EXPECT_TRUE(events.empty()) << row.Name;
    }
}

TEST_F(ChangeLogTest, ARowAnotherProgramCommitsReachesTheReceiversAndADamagedOneIsSkipped)
{
    RunSql(FPath, "INSERT INTO changes(at, events) VALUES (0, CAST('broken' AS BLOB))");
    RunSql(FPath, "INSERT INTO changes(at, events) VALUES (0, ?)",
           TStoreChangeLog::Encode(Events({{seFolderChanged, {}}})));
    std::vector<TEventRecorder::TRecord> records;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (auto& record : FTree.Take())
                records.push_back(record);
            return !records.empty();
        },
        25 * kPoll));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].FolderId, 7u);
    EXPECT_EQ(records[0].NotifyType, fnRenamed);
}

TEST_F(ChangeLogTest, NothingChangingCostsNoReadsOfTheLog)
{
    // The watcher reads the log once when it starts.
    ASSERT_TRUE(WaitUntil([&] { return FFeed->WatcherPolls() >= 2; }, 25 * kPoll));
    const qint64 reads = FFeed->WatcherLogReads();
    const qint64 polls = FFeed->WatcherPolls();
    QThread::msleep(8 * kPoll);
    EXPECT_GE(FFeed->WatcherPolls(), polls + 3);
    EXPECT_EQ(FFeed->WatcherLogReads(), reads);

    NewFolder(kInbox, "A");
    ASSERT_TRUE(WaitUntil([&] { return FFeed->WatcherLogReads() > reads; }, 25 * kPoll));
    EXPECT_EQ(FTree.Take().size(), 1u);   // read by the watcher too, but posted once
}

TEST_F(ChangeLogTest, OldRowsAreTrimmedAndNumbersAreNeverReused)
{
    NewFolder(kInbox, "A");
    NewFolder(kInbox, "B");
    RunSql(FPath, "UPDATE changes SET at = 0");
    const qint64 last = SqlInt(FPath, "SELECT max(seq) FROM changes");
    NewFolder(kInbox, "C");
    EXPECT_EQ(SqlInt(FPath, "SELECT count(*) FROM changes"), 1);
    EXPECT_EQ(SqlInt(FPath, "SELECT min(seq) FROM changes"), last + 1);
    FTree.Take();
}

TEST_F(ChangeLogTest, AFailedChangeLogsNothing)
{
    const qint64 before = SqlInt(FPath, "SELECT count(*) FROM changes");
    EXPECT_NE(FStore.RenameFolder(kInbox, 0, "Post"), srOk);
    EXPECT_NE(FStore.CreateFolder(4242, "Orphan", 0, nullptr), srOk);
    EXPECT_EQ(SqlInt(FPath, "SELECT count(*) FROM changes"), before);
    QThread::msleep(2 * kPoll);
    EXPECT_TRUE(FTree.Take().empty());
}

// A forked copy of this program, with the store open in both, is another
// program on the store: each learns of the other's changes once.
TEST_F(ChangeLogTest, AChildProcessAndItsParentEachHearTheOthersChangesOnce)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer cannot start threads in the child of a process that has threads";
#endif
    NewFolder(kInbox, "Parent");
    ASSERT_EQ(FTree.Take().size(), 1u);
    TChildProcess child([this]() -> QByteArray {
        TStoreNamespace store;
        TEventRecorder tree;
        if (store.Initialize(FPath) != srOk || store.RegisterNotification(0, &tree) != srOk)
            return "the store does not open";
        if (store.CreateFolder(kInbox, "Child", 0, nullptr) != srOk)
            return "the folder cannot be made";
        // Its own change at once; then the parent's answer, through its own watcher.
        std::vector<TEventRecorder::TRecord> records = tree.Take();
        WaitUntil(
            [&] {
                for (auto& record : tree.Take())
                    records.push_back(record);
                return records.size() >= 2;
            },
            25 * kPoll);
        store.UnregisterNotification(&tree);
        return records.size() == 2 ? QByteArray() : "heard " + QByteArray::number(records.size()) + " changes, not 2";
    });
    ASSERT_TRUE(child.Started());
    std::vector<TEventRecorder::TRecord> records;
    WaitUntil(
        [&] {
            for (auto& record : FTree.Take())
                records.push_back(record);
            return !records.empty();
        },
        25 * kPoll);
    NewFolder(kInbox, "Answer");
    EXPECT_EQ(child.Finish().toStdString(), "");
    for (auto& record : FTree.Take())
        records.push_back(record);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].NotifyType, fnNewFolder);
}
