#include "tests/cli/CliTestSupport.h"

#include "engine/StoreNamespace.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <functional>
#include <map>
#include <tuple>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kDeletedItems = 4;
constexpr TStoreId kDrafts = 5;

QByteArray Message(int number)
{
    return "From: Sender <s" + QByteArray::number(number) + "@example.org>\r\nSubject: Note "
           + QByteArray::number(number) + "\r\nDate: Mon, 2 Mar 2026 10:00:00 +0000\r\n\r\nBody\r\n";
}

// One notification as a receiver saw it, with the receiver's name.
using TRecord = std::tuple<std::string, int, TStoreId, int, std::vector<TStoreId>>;

class TRecorder : public QObject
{
public:
    TRecorder(std::string name, std::vector<TRecord>& records)
        : FName(std::move(name)), FRecords(records) {}

protected:
    bool event(QEvent* event) override
    {
        if (!TStoreEvent::IsStoreEvent(event))
            return QObject::event(event);
        const auto& store = static_cast<const TStoreEvent&>(*event);
        FRecords.emplace_back(FName, store.StoreType(), store.FolderId, store.NotifyType,
                              std::vector<TStoreId>(store.Ids.begin(), store.Ids.end()));
        return true;
    }

private:
    std::string FName;
    std::vector<TRecord>& FRecords;
};

// A store as a window holds it: a namespace with a receiver on itself and
// one on each folder the cases touch.
class TWatchedStore
{
public:
    explicit TWatchedStore(const QString& path)
    {
        EXPECT_EQ(Namespace.Initialize(path), srOk);
        EXPECT_EQ(Namespace.RegisterNotification(0, &FTree), srOk);
        for (TStoreId id : {kInbox, kDeletedItems, kDrafts, kWork}) {
            std::unique_ptr<TStoreFolder>& folder = Folders[id];
            EXPECT_EQ(Namespace.OpenFolder(id, 0, folder), srOk);
            FFolderReceivers.push_back(std::make_unique<TRecorder>("folder " + std::to_string(id), Records));
            EXPECT_EQ(folder->RegisterNotification(0, FFolderReceivers.back().get()), srOk);
        }
    }
    ~TWatchedStore()
    {
        Namespace.UnregisterNotification(&FTree);
        for (size_t i = 0; i < FFolderReceivers.size(); ++i)
            std::next(Folders.begin(), static_cast<long>(i))->second->UnregisterNotification(FFolderReceivers[i].get());
    }

    // Lets events arrive until there are `count` records or the time is up.
    void WaitFor(size_t count, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (Records.size() < count && timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        QCoreApplication::processEvents();
    }

    static constexpr TStoreId kWork = 6;   // the folder the fixture creates first

    std::vector<TRecord> Records;
    TStoreNamespace Namespace;
    std::map<TStoreId, std::unique_ptr<TStoreFolder>> Folders;

private:
    TRecorder FTree{"tree", Records};
    std::vector<std::unique_ptr<TRecorder>> FFolderReceivers;
};

struct TChangeCase {
    const char* Name;
    QStringList Command;                                 // run by vellumo-cli on the watched store
    std::function<TStoreResult(TWatchedStore&)> Same;   // the same change made in this process
};

class LiveUpdates : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        FEml = FFolder + QStringLiteral("/new.eml");
        QFile file(FEml);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Message(9));
        file.close();
        FSameStore = FFolder + QStringLiteral("/same.db");
        Prepare(FStore);
        Prepare(FSameStore);
    }

    // Both stores get the same folders and messages, so that their ids agree.
    void Prepare(const QString& store)
    {
        TStoreNamespace space;
        ASSERT_EQ(space.Initialize(store), srOk);
        TStoreId work = kNoStoreId;
        ASSERT_EQ(space.CreateFolder(kInbox, "Work", 0, &work), srOk);
        ASSERT_EQ(work, TWatchedStore::kWork);
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(space.OpenFolder(kInbox, 0, inbox), srOk);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(inbox->SaveMessage(Message(i), kMsgUnread, nullptr), srOk);
    }

    QString FEml;
    QString FSameStore;
};

TEST_F(LiveUpdates, ChangesOfAnotherProgramArriveAsTheSameNotificationsOnce)
{
    const TMessageIdList firstTwo{1, 2};
    const TChangeCase cases[] = {
        {"import", {QStringLiteral("import"), QStringLiteral("Inbox"), FEml},
         [this](TWatchedStore& s) {
             QFile file(FEml);
             return file.open(QIODevice::ReadOnly) ? s.Folders[kInbox]->SaveMessage(file, kMsgUnread, nullptr)
                                                   : srFail;
         }},
        {"move", {QStringLiteral("move"), QStringLiteral("Inbox"), QStringLiteral("Inbox/Work"), QStringLiteral("1"),
                  QStringLiteral("2")},
         [&](TWatchedStore& s) {
             return s.Folders[kInbox]->CopyMoveMessages(*s.Folders[TWatchedStore::kWork], firstTwo, 1, 0, nullptr);
         }},
        {"mark read", {QStringLiteral("mark-read"), QStringLiteral("Inbox"), QStringLiteral("1"), QStringLiteral("2")},
         [&](TWatchedStore& s) { return s.Folders[kInbox]->MarkMessagesAsRead(true, 0, firstTwo); }},
        {"rename folder", {QStringLiteral("rename-folder"), QStringLiteral("Inbox/Work"), QStringLiteral("Play")},
         [](TWatchedStore& s) { return s.Namespace.RenameFolder(TWatchedStore::kWork, 0, "Play"); }},
        {"delete folder", {QStringLiteral("delete-folder"), QStringLiteral("Inbox/Work")},
         [](TWatchedStore& s) { return s.Namespace.DeleteFolder(TWatchedStore::kWork, 0); }},
    };
    for (const TChangeCase& change : cases) {
        SCOPED_TRACE(change.Name);
        SetUp();
        std::vector<TRecord> expected;
        {
            TWatchedStore same(FSameStore);
            ASSERT_EQ(change.Same(same), srOk);
            same.WaitFor(0, 0);
            expected = same.Records;
        }
        ASSERT_FALSE(expected.empty());
        TWatchedStore watched(FStore);
        RunOk(change.Command);
        QElapsedTimer sinceExit;
        sinceExit.start();
        watched.WaitFor(expected.size(), 1000);
        EXPECT_LT(sinceExit.elapsed(), 1000);
        // Long enough for the watcher to look twice more: nothing comes again.
        watched.WaitFor(expected.size() + 1, 3 * 200);
        EXPECT_EQ(watched.Records, expected);
    }
}

TEST_F(LiveUpdates, ThisProgramsOwnChangesArriveOnce)
{
    TWatchedStore watched(FStore);
    TWatchedStore other(FStore);
    ASSERT_EQ(watched.Namespace.RenameFolder(TWatchedStore::kWork, 0, "Play"), srOk);
    ASSERT_EQ(other.Folders[kInbox]->MarkMessagesAsRead(true, 0, {3}), srOk);
    watched.WaitFor(100, 3 * 200);
    other.WaitFor(100, 0);
    const std::vector<TRecord> expected{
        {"tree", seFolderChanged, TWatchedStore::kWork, fnRenamed, {}},
        {"folder 1", seMarkedRead, kInbox, 0, {3}},
        {"tree", seFolderChanged, kInbox, fnUnreadChanged, {}},
    };
    EXPECT_EQ(watched.Records, expected);
    EXPECT_EQ(other.Records, expected);
}

// The message list of an open folder follows another program's changes
// until it lists what a fresh load of the folder lists.
TEST_F(LiveUpdates, AnOpenListEndsEqualToAFreshLoad)
{
    qputenv("VELLUMO_STORE", QFile::encodeName(FStore));
    TOeMesgItems open;
    open.SetFolderId(kInbox);
    ASSERT_TRUE(open.WaitUntilParsed(10000));
    RunOk({QStringLiteral("import"), QStringLiteral("Inbox"), FEml});
    RunOk({QStringLiteral("move"), QStringLiteral("Inbox"), QStringLiteral("Drafts"), QStringLiteral("1")});
    RunOk({QStringLiteral("mark-read"), QStringLiteral("Inbox"), QStringLiteral("2")});
    RunOk({QStringLiteral("delete"), QStringLiteral("Inbox"), QStringLiteral("3")});

    const auto snapshot = [](const TOeMesgItems& items) {
        TReadGuard<const TSyncItems> guard(items);
        std::map<TStoreId, bool> unread;
        for (int i = 0; i < items.Count(); ++i) {
            const auto* item = static_cast<const TOeMesgItem*>(items.Item(i));
            unread[static_cast<TStoreId>(item->Id())] = item->HasState(stUnread);
        }
        return unread;
    };
    TOeMesgItems fresh;
    fresh.SetFolderId(kInbox);
    ASSERT_TRUE(fresh.WaitUntilParsed(10000));
    const std::map<TStoreId, bool> expected{{2, false}, {4, true}};
    ASSERT_EQ(snapshot(fresh), expected);
    QElapsedTimer timer;
    timer.start();
    while (snapshot(open) != expected && timer.elapsed() < 2000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    ASSERT_TRUE(open.WaitUntilParsed(10000));
    EXPECT_EQ(snapshot(open), expected);
}

} // namespace
