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

enum class TOp { Save, Copy, Move, Delete, DeleteForGood, CompactAll, CompactFolder };

struct TStep {
    TOp Op;
    int Serial = 0;   // Save: which new message
};

struct TFolders {
    TStoreId Work = kNoStoreId;
};

QByteArray SourceFor(int serial)
{
    return "Subject: message " + QByteArray::number(serial) + "\r\n\r\n"
           + QByteArray("line of the message ").append(QByteArray::number(serial)).repeated(60 + serial % 90);
}

QByteArray Hash(const QByteArray& source)
{
    return QCryptographicHash::hash(source, QCryptographicHash::Sha1);
}

// Moves (or copies) every message of one folder into another in the model.
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
TContents Apply(const TContents& contents, const TStep& step, const TFolders& folders)
{
    switch (step.Op) {
    case TOp::Save: {
        TContents result = contents;
        result.emplace(kInbox, Hash(SourceFor(step.Serial)));
        return result;
    }
    case TOp::Copy: return Transfer(contents, kInbox, folders.Work, true);
    case TOp::Move: return Transfer(contents, folders.Work, kDrafts, false);
    case TOp::Delete: return Transfer(contents, kDrafts, kDeletedItems, false);
    case TOp::DeleteForGood: return Transfer(contents, kDeletedItems, kNoStoreId, false);
    case TOp::CompactAll:
    case TOp::CompactFolder: return contents;
    }
    return contents;
}

// Runs the steps in the child process; the report names the first failure.
QByteArray RunSteps(const QString& path, const std::vector<TStep>& steps, const TFolders& folders)
{
    TStoreNamespace store;
    if (store.Initialize(path) != srOk)
        return "the store does not open";
    std::map<TStoreId, std::unique_ptr<TStoreFolder>> open;
    for (TStoreId id : {kInbox, folders.Work, kDrafts, kDeletedItems}) {
        if (store.OpenFolder(id, 0, open[id]) != srOk)
            return "a folder does not open";
    }
    for (const TStep& step : steps) {
        TStoreResult result = srOk;
        switch (step.Op) {
        case TOp::Save:
            result = open[kInbox]->SaveMessage(SourceFor(step.Serial), step.Serial % 2 ? kMsgUnread : 0, nullptr);
            break;
        case TOp::Copy:
            result = open[kInbox]->CopyMoveMessages(*open[folders.Work], IdsIn(*open[kInbox]), 0, 0, nullptr);
            break;
        case TOp::Move:
            result = open[folders.Work]->CopyMoveMessages(*open[kDrafts], IdsIn(*open[folders.Work]), 1, 0, nullptr);
            break;
        case TOp::Delete:
            result = open[kDrafts]->DeleteMessages(IdsIn(*open[kDrafts]), 0, nullptr);
            break;
        case TOp::DeleteForGood:
            result = open[kDeletedItems]->DeleteMessages(IdsIn(*open[kDeletedItems]), 0, nullptr);
            break;
        case TOp::CompactAll: result = store.CompactAll(0); break;
        case TOp::CompactFolder: result = open[kDeletedItems]->Compact(0); break;
        }
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
TContents Observe(const QString& path, const TFolders& folders)
{
    TContents contents;
    TStoreNamespace store;
    EXPECT_EQ(store.Initialize(path), srOk);
    for (TStoreId id : {kInbox, kOutbox, kSentItems, kDeletedItems, kDrafts, folders.Work}) {
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

std::vector<TStep> RandomSteps(std::mt19937& random, int& serial)
{
    static constexpr TOp kOps[] = {TOp::Save,   TOp::Save,          TOp::Copy,       TOp::Move,
                                   TOp::Delete, TOp::DeleteForGood, TOp::CompactAll, TOp::CompactFolder};
    std::vector<TStep> steps;
    const int count = 3 + static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) {
        const TOp op = kOps[random() % std::size(kOps)];
        steps.push_back({op, op == TOp::Save ? serial++ : 0});
    }
    return steps;
}

} // namespace

TEST(StoreCrash, AProcessKilledAtRandomMomentsLeavesEachOperationWholeOrUndone)
{
    constexpr int kRuns = 60;
    const QString path = TTestEnvironment::NewStorePath();
    TFolders folders;
    int serial = 0;
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        ASSERT_EQ(store.CreateFolder(kInbox, "Work", 0, &folders.Work), srOk);
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(store.OpenFolder(kInbox, 0, inbox), srOk);
        for (; serial < 20; ++serial)
            ASSERT_EQ(inbox->SaveMessage(SourceFor(serial), kMsgUnread, nullptr), srOk);
    }
    TContents contents = Observe(path, folders);
    std::mt19937 random(20260310);
    qint64 windowUs = 0;   // how long a whole child runs, measured by the first run
    int killedInside = 0;
    for (int run = 0; run < kRuns && !HasFailure(); ++run) {
        const std::vector<TStep> steps = RandomSteps(random, serial);
        std::vector<TContents> states{contents};
        for (const TStep& step : steps)
            states.push_back(Apply(states.back(), step, folders));

        QElapsedTimer clock;
        clock.start();
        TChildProcess child([&] { return RunSteps(path, steps, folders); });
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
        contents = Observe(path, folders);
        const auto reached = std::find(states.begin(), states.end(), contents);
        ASSERT_NE(reached, states.end()) << "run " << run << ": a state between two operations";
        if (reached != states.begin() && reached + 1 != states.end())
            ++killedInside;
    }
    // The kills must have met the child in the middle of its work, not only
    // before it began or after it ended.
    EXPECT_GT(killedInside, 0);
}
