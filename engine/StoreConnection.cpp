#include "engine/StoreConnection.h"

#include "engine/StoreSchema.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <mutex>

#include <pthread.h>

#include <sqlite3.h>

namespace {

// Every open connection of this process, so that a change made through one
// namespace reaches the receivers of all of them.
std::mutex gConnectionsMutex;
std::vector<TStoreConnection*> gConnections;

// The watcher threads deliver under these locks; a process that forks while
// one is held would leave its child with a lock nobody releases.
void LockForFork()
{
    TStoreChangeFeed::LockRegistry();
    gConnectionsMutex.lock();
}

void UnlockAfterFork()
{
    gConnectionsMutex.unlock();
    TStoreChangeFeed::UnlockRegistry();
}

} // namespace

TStoreConnection::TStoreConnection(QString path)
    : FPath(QFileInfo(path).absoluteFilePath())
{
    static std::once_flag forkHandlers;
    std::call_once(forkHandlers, [] { pthread_atfork(LockForFork, UnlockAfterFork, UnlockAfterFork); });
}

TStoreConnection::~TStoreConnection()
{
    std::lock_guard lock(gConnectionsMutex);
    std::erase(gConnections, this);
}

TStoreResult TStoreConnection::Open()
{
    const TStoreResult result = Run(TStoreOp::Initialize, false, [this] {
        OpenDatabase();
        FFeed = TStoreChangeFeed::ForStore(FPath, FDb, &TStoreConnection::DeliverToFeed);
        return srOk;
    });
    if (result == srOk) {
        std::lock_guard lock(gConnectionsMutex);
        gConnections.push_back(this);
    } else {
        FFeed.reset();
        FDb.Close();
    }
    return result;
}

void TStoreConnection::OpenDatabase()
{
    using TMode = TSqlDatabase::TOpenMode;
    if (!TStoreSchema::FileHasContent(FPath)) {
        FDb.Open(FPath, TMode::Create);
        PrepareForWriting();
        return;
    }
    FDb.Open(FPath, TMode::Existing);
    TStoreSchema::TInfo info;
    try {
        info = TStoreSchema::Inspect(FDb);
    } catch (const TSqlError& error) {
        // A store in WAL mode cannot be read where its -shm file cannot be
        // made (a read-only folder): it is then read as an immutable file.
        const int code = error.Code & 0xFF;
        if (code != SQLITE_READONLY && code != SQLITE_CANTOPEN)
            throw;
        FDb.Open(FPath, TMode::Immutable);
        info = TStoreSchema::Inspect(FDb);
    }
    if (info.Kind == TStoreSchema::TKind::Foreign || info.Version > TStoreSchema::CurrentVersion())
        throw TSqlError{SQLITE_NOTADB, "the file is not a store of this program"};
    if (!FDb.IsReadOnly()) {
        PrepareForWriting();
        return;
    }
    // A store that cannot be written can be browsed, but not upgraded.
    if (info.Kind != TStoreSchema::TKind::Store || info.Version != TStoreSchema::CurrentVersion())
        throw TSqlError{SQLITE_READONLY, "the store needs an upgrade but cannot be written"};
}

void TStoreConnection::PrepareForWriting()
{
    TStoreSchema::Prepare(FDb);
    FDb.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF");
}

TStoreResult TStoreConnection::Run(TStoreOp op, bool write, const std::function<TStoreResult()>& body)
{
    if (TStoreFaults::ShouldFail(op))
        return srInjectedFailure;
    // A call made while another runs (a read from inside an operation)
    // must not take or drop the notifications of the one outside it.
    TStoreEvents outer = std::exchange(FPending, {});
    TStoreResult result = srOk;
    try {
        if (write) {
            TSqlTransaction transaction(FDb);
            result = body();
            if (result == srOk && !FPending.empty())
                TStoreChangeLog::Append(FDb, FPending);
            if (result == srOk)
                transaction.Commit();
        } else {
            result = body();
        }
    } catch (const TSqlError& error) {
        result = ResultFromSqlite(error.Code);
    } catch (const std::bad_alloc&) {
        result = srFail;
    }
    // Only a write logs its notifications; a read gives none.
    Q_ASSERT(write || FPending.empty());
    const bool changed = result == srOk && !FPending.empty();
    FPending = std::move(outer);
    if (changed)
        CatchUp();
    return result;
}

void TStoreConnection::CatchUp()
{
    // Inside an enclosing transaction the log holds rows that are not yet
    // committed: they are posted once it commits.
    if (!FFeed || FDb.InTransaction())
        return;
    try {
        FFeed->CatchUp(FDb);
    } catch (const TSqlError& error) {
        // The change is made; the watcher posts its notifications shortly.
        qWarning("Reading the store's change log failed: %s", error.Message.constData());
    }
}

void TStoreConnection::Notify(std::unique_ptr<TStoreEvent> event)
{
    FPending.push_back(std::move(event));
}

void TStoreConnection::NotifyFolderChange(int type, TStoreId folder)
{
    auto event = std::make_unique<TStoreEvent>(seFolderChanged, folder);
    event->NotifyType = type;
    event->OldId = folder;
    event->NewId = folder;
    Notify(std::move(event));
}

void TStoreConnection::DeliverToFeed(const TStoreChangeFeed& feed, const TStoreEvent& event)
{
    std::lock_guard lock(gConnectionsMutex);
    for (const TStoreConnection* connection : gConnections) {
        if (connection->FFeed.get() == &feed)
            connection->Deliver(event);
    }
}

void TStoreConnection::Deliver(const TStoreEvent& event) const
{
    const bool folderLevel = event.StoreType() == seFolderChanged;
    for (const TReceiver& receiver : FReceivers) {
        if (!receiver.Object)
            continue;
        const bool wanted = folderLevel ? receiver.Folder == kNoStoreId : receiver.Folder == event.FolderId;
        if (wanted)
            QCoreApplication::postEvent(receiver.Object, new TStoreEvent(event));
    }
}

void TStoreConnection::AddReceiver(QObject* receiver, TStoreId folder)
{
    std::lock_guard lock(gConnectionsMutex);
    FReceivers.push_back({receiver, folder});
}

void TStoreConnection::RemoveReceiver(QObject* receiver, TStoreId folder)
{
    std::lock_guard lock(gConnectionsMutex);
    std::erase_if(FReceivers, [&](const TReceiver& r) { return r.Object == receiver && r.Folder == folder; });
}

bool TStoreConnection::HasReceiver(QObject* receiver, TStoreId folder) const
{
    std::lock_guard lock(gConnectionsMutex);
    return std::any_of(FReceivers.begin(), FReceivers.end(),
                       [&](const TReceiver& r) { return r.Object == receiver && r.Folder == folder; });
}

quintptr TStoreConnection::AddEnumeration(std::vector<TFolderProps> folders, std::vector<TMessageProps> messages)
{
    const quintptr handle = FNextHandle++;
    FEnumerations.emplace(handle, TEnumeration{std::move(folders), std::move(messages), 0});
    return handle;
}

bool TStoreConnection::NextFolder(quintptr handle, TFolderProps& props)
{
    auto it = FEnumerations.find(handle);
    if (it == FEnumerations.end() || it->second.Next >= it->second.Folders.size())
        return false;
    props = it->second.Folders[it->second.Next++];
    return true;
}

bool TStoreConnection::NextMessage(quintptr handle, TMessageProps& props)
{
    auto it = FEnumerations.find(handle);
    if (it == FEnumerations.end() || it->second.Next >= it->second.Messages.size())
        return false;
    props = it->second.Messages[it->second.Next++];
    return true;
}

bool TStoreConnection::CloseEnumeration(quintptr handle)
{
    return FEnumerations.erase(handle) > 0;
}

TStoreResult TStoreConnection::ReadSetting(const QByteArray& key, qint64& value)
{
    return Run(TStoreOp::Setting, false, [&] {
        TSqlStatement select = FDb.Prepare("SELECT value FROM settings WHERE key = ?");
        select.Bind(1, key);
        if (!select.Step())
            return srNotFound;
        value = select.Int(0);
        return srOk;
    });
}

TStoreResult TStoreConnection::WriteSetting(const QByteArray& key, qint64 value)
{
    return Run(TStoreOp::Setting, true, [&] {
        FDb.Prepare("INSERT OR REPLACE INTO settings(key, value) VALUES (?, ?)").Bind(1, key).Bind(2, value).Exec();
        return srOk;
    });
}
