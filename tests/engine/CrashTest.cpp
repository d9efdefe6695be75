// A process killed at random moments while it saves, copies, moves, deletes
// and compacts: afterwards the store is intact and holds exactly the state
// before or after each of its operations, never a state in between.

#include "tests/engine/ChildProcess.h"
#include "tests/engine/StoreTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <sqlite3.h>

#include <random>
#include <set>

namespace {

// What the store holds: (folder, hash of the source) for every message.
using TContents = std::multiset<std::pair<TStoreId, QByteArray>>;

enum class TOp { Save, SaveBatch, KeepFields, Copy, Move, Delete, CompactAll, CompactFolder };

// Messages a SaveBatch step saves in one transaction, as an import does.
constexpr int kBatch = 8;

// One operation of the child. Copy and Move take every message of `From`
// into `To`; Delete deletes every message of `From` (into Deleted Items, or
// for good inside it); Save adds message `Serial` to the Inbox, SaveBatch
// messages `Serial` to `Serial` + kBatch - 1; KeepFields keeps list fields
// for every message of the Inbox (which copies then take along).
struct TStep {
    TOp Op;
    TStoreId From = kNoStoreId;
    TStoreId To = kNoStoreId;
    int Serial = 0;
};

QByteArray SourceFor(int serial)
{
    return "Subject: message " + QByteArray::number(serial) + "\r\n\r\n"
           + QByteArray("line of the message ").append(QByteArray::number(serial)).repeated(20 + serial % 60);
}

QByteArray Hash(const QByteArray& source)
{
    return QCryptographicHash::hash(source, QCryptographicHash::Sha1);
}

// Moves (or copies) every message of one folder into another in the model;
// into no folder, they are gone.
TContents Transfer(const TContents& contents, TStoreId from, TStoreId to, bool keep)
{
    TContents result;
    for (const auto& [folder, hash] : contents) {
        if (folder != from || keep)
            result.emplace(folder, hash);
        if (folder == from && to != kNoStoreId)
            result.emplace(to, hash);
    }
    return result;
}

// The store's contents after one more step, as the model sees them.
TContents Apply(const TContents& contents, const TStep& step)
{
    switch (step.Op) {
    case TOp::Save: {
        TContents result = contents;
        result.emplace(kInbox, Hash(SourceFor(step.Serial)));
        return result;
    }
    case TOp::SaveBatch: {
        TContents result = contents;
        for (int i = 0; i < kBatch; ++i)
            result.emplace(kInbox, Hash(SourceFor(step.Serial + i)));
        return result;
    }
    case TOp::Copy: return Transfer(contents, step.From, step.To, true);
    case TOp::Move: return Transfer(contents, step.From, step.To, false);
    case TOp::Delete:
        return Transfer(contents, step.From, step.From == kDeletedItems ? kNoStoreId : kDeletedItems, false);
    case TOp::KeepFields:
    case TOp::CompactAll:
    case TOp::CompactFolder: return contents;
    }
    return contents;
}

TStoreResult RunStep(TStoreNamespace& store, std::map<TStoreId, std::unique_ptr<TStoreFolder>>& open,
                     const TStep& step)
{
    switch (step.Op) {
    case TOp::Save:
        return open[kInbox]->SaveMessage(SourceFor(step.Serial), step.Serial % 2 ? kMsgUnread : 0, nullptr);
    case TOp::SaveBatch: {
        std::vector<QByteArray> sources;
        for (int i = 0; i < kBatch; ++i)
            sources.push_back(SourceFor(step.Serial + i));
        return open[kInbox]->SaveMessages(sources, kMsgUnread, nullptr);
    }
    case TOp::KeepFields: {
        std::vector<TListFieldsRecord> records;
        for (TStoreId id : IdsIn(*open[kInbox]))
            records.push_back({id, "fields of " + QByteArray::number(id)});
        return open[kInbox]->WriteListFields("key", records);
    }
    case TOp::Copy:
    case TOp::Move:
        return open[step.From]->CopyMoveMessages(*open[step.To], IdsIn(*open[step.From]), step.Op == TOp::Move ? 1 : 0,
                                                 0, nullptr);
    case TOp::Delete: return open[step.From]->DeleteMessages(IdsIn(*open[step.From]), 0, nullptr);
    case TOp::CompactAll: return store.CompactAll(0);
    case TOp::CompactFolder: return open[kDeletedItems]->Compact(0);
    }
    return srFail;
}

// Runs the steps in the child process; the report names the first failure.
QByteArray RunSteps(const QString& path, const std::vector<TStep>& steps, TStoreId work)
{
    TStoreNamespace store;
    if (store.Initialize(path) != srOk)
        return "the store does not open";
    std::map<TStoreId, std::unique_ptr<TStoreFolder>> open;
    for (TStoreId id : {kInbox, work, kDrafts, kDeletedItems}) {
        if (store.OpenFolder(id, 0, open[id]) != srOk)
            return "a folder does not open";
    }
    for (const TStep& step : steps) {
        const TStoreResult result = RunStep(store, open, step);
        if (result != srOk)
            return "step " + QByteArray::number(static_cast<int>(step.Op)) + " failed: " + StoreResultText(result);
    }
    return {};
}

QByteArray IntegrityCheck(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    QByteArray answer = "cannot run";
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        answer = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return answer;
}

// Reads what the store holds; the counts of every folder must agree with it.
TContents Observe(const QString& path, TStoreId work)
{
    TContents contents;
    TStoreNamespace store;
    EXPECT_EQ(store.Initialize(path), srOk);
    for (TStoreId id : {kInbox, kOutbox, kSentItems, kDeletedItems, kDrafts, work}) {
        std::unique_ptr<TStoreFolder> folder;
        EXPECT_EQ(store.OpenFolder(id, 0, folder), srOk);
        if (!folder)
            continue;
        int unread = 0;
        const TMessageIdList ids = IdsIn(*folder);
        for (TStoreId message : ids) {
            TMessageProps props;
            EXPECT_EQ(folder->GetMessageProperties(message, 1, props), srOk);
            unread += (props.State & kMsgUnread) ? 1 : 0;
            contents.emplace(id, Hash(SourceIn(*folder, message)));
        }
        TFolderProps props;
        EXPECT_EQ(store.GetFolderProperties(id, 0, props), srOk);
        EXPECT_EQ(props.MessageCount, ids.size()) << "folder " << id;
        EXPECT_EQ(props.UnreadCount, unread) << "folder " << id;
    }
    return contents;
}

// Two to five operations; every folder is emptied now and then, so that the
// store stays small and each run quick.
std::vector<TStep> RandomSteps(std::mt19937& random, int& serial, TStoreId work)
{
    const TStep kinds[] = {
        {TOp::Save},
        {TOp::SaveBatch},
        {TOp::KeepFields},
        {TOp::Copy, kInbox, work},
        {TOp::Move, kInbox, kDrafts},
        {TOp::Delete, work},
        {TOp::Delete, kDrafts},
        {TOp::Delete, kDeletedItems},
        {TOp::CompactAll},
        {TOp::CompactFolder},
    };
    std::vector<TStep> steps;
    const int count = 2 + static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) {
        TStep step = kinds[random() % std::size(kinds)];
        if (step.Op == TOp::Save)
            step.Serial = serial++;
        if (step.Op == TOp::SaveBatch) {
            step.Serial = serial;
            serial += kBatch;
        }
        steps.push_back(step);
    }
    return steps;
}

} // namespace

TEST(StoreCrash, AProcessKilledAtRandomMomentsLeavesEachOperationWholeOrUndone)
{
    constexpr int kRuns = 50;
    const QString path = TTestEnvironment::NewStorePath();
    TStoreId work = kNoStoreId;
    int serial = 0;
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        ASSERT_EQ(store.CreateFolder(kInbox, "Work", 0, &work), srOk);
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(store.OpenFolder(kInbox, 0, inbox), srOk);
        for (; serial < 10; ++serial)
            ASSERT_EQ(inbox->SaveMessage(SourceFor(serial), kMsgUnread, nullptr), srOk);
    }
    TContents contents = Observe(path, work);
    std::mt19937 random(20260310);
    qint64 windowUs = 0;   // how long a whole child runs, measured by the first run
    int killedInside = 0;
    for (int run = 0; run < kRuns && !HasFailure(); ++run) {
        const std::vector<TStep> steps = RandomSteps(random, serial, work);
        std::vector<TContents> states{contents};
        for (const TStep& step : steps)
            states.push_back(Apply(states.back(), step));

        QElapsedTimer clock;
        clock.start();
        TChildProcess child([&] { return RunSteps(path, steps, work); });
        ASSERT_TRUE(child.Started());
        if (run > 0) {
            QThread::usleep(static_cast<unsigned long>(random() % static_cast<unsigned>(windowUs + 1)));
            child.Kill();
        }
        const QByteArray report = child.Finish();
        if (run == 0)
            windowUs = clock.nsecsElapsed() / 1000;
        if (!child.Killed()) {
            ASSERT_EQ(report.toStdString(), "") << "run " << run;
        }

        ASSERT_EQ(IntegrityCheck(path), "ok") << "run " << run;
        contents = Observe(path, work);
        const auto reached = std::find(states.begin(), states.end(), contents);
        ASSERT_NE(reached, states.end()) << "run " << run << ": a state between two operations";
        if (reached != states.begin() && reached + 1 != states.end())
            ++killedInside;
    }
    // The kills must have met the child in the middle of its work, not only
    // before it began or after it ended.
    EXPECT_GT(killedInside, 0);
}
