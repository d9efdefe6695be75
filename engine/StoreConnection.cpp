#include "engine/StoreConnection.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <mutex>

#include <sqlite3.h>

namespace {

// Every open connection of this process, so that a change made through one
// namespace reaches the receivers of all of them.
std::mutex gConnectionsMutex;
std::vector<TStoreConnection*> gConnections;

constexpr int kSchemaVersion = 2;

} // namespace

TStoreConnection::TStoreConnection(QString path)
    : FPath(QFileInfo(path).absoluteFilePath())
{
}

TStoreConnection::~TStoreConnection()
{
    std::lock_guard lock(gConnectionsMutex);
    std::erase(gConnections, this);
}

TStoreResult TStoreConnection::Open()
{
    const TStoreResult result = Run(TStoreOp::Initialize, false, [this] {
        FDb.Open(FPath);
        // Reading the header first: a file that is not a database fails here,
        // before anything could be written to it.
        FDb.Execute("SELECT count(*) FROM sqlite_master");
        CreateSchema();
        return srOk;
    });
    if (result == srOk) {
        std::lock_guard lock(gConnectionsMutex);
        gConnections.push_back(this);
    }
    return result;
}

void TStoreConnection::CreateSchema()
{
    qint64 current = 0;
    {
        TSqlStatement version = FDb.Prepare("PRAGMA user_version");
        version.Step();
        current = version.Int(0);
    }
    if (current > kSchemaVersion)
        FDb.Fail(SQLITE_NOTADB);   // written by a newer program: never touch it
    // auto_vacuum must be chosen before the first table exists.
    if (current == 0)
        FDb.Execute("PRAGMA auto_vacuum=INCREMENTAL");
    FDb.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF");
    if (current == kSchemaVersion)
        return;
    // A store of an older version is brought up step by step, all in one
    // transaction: an interrupted upgrade leaves the old version intact.
    TSqlTransaction transaction(FDb);
    if (current < 1)
        CreateVersion1();
    if (current < 2)
        UpgradeToVersion2();
    FDb.Execute(QByteArray("PRAGMA user_version=" + QByteArray::number(kSchemaVersion)).constData());
    transaction.Commit();
}

void TStoreConnection::CreateVersion1()
{
    FDb.Execute(
        "CREATE TABLE folders("
        "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
        "  parent INTEGER NOT NULL,"
        "  name BLOB NOT NULL,"
        "  special INTEGER NOT NULL DEFAULT -1);"
        "CREATE INDEX folders_parent ON folders(parent, id);"
        "CREATE TABLE messages("
        "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
        "  folder INTEGER NOT NULL,"
        "  state INTEGER NOT NULL,"
        "  size INTEGER NOT NULL,"
        "  received INTEGER NOT NULL,"
        "  source BLOB NOT NULL);"
        // Covering index: listing a folder never reads the sources.
        "CREATE INDEX messages_folder ON messages(folder, id, state, size, received);"
        "CREATE TABLE settings(key BLOB PRIMARY KEY, value INTEGER NOT NULL);"
        "INSERT INTO folders(id, parent, name, special) VALUES"
        "  (0, -1, '', -1),"
        "  (1, 0, 'Inbox', 0),"
        "  (2, 0, 'Outbox', 1),"
        "  (3, 0, 'Sent Items', 2),"
        "  (4, 0, 'Deleted Items', 3),"
        "  (5, 0, 'Drafts', 4);");
}

void TStoreConnection::UpgradeToVersion2()
{
    // Where imported messages came from: a file (by the identity the importer
    // gives it) and the message's place in that file. Kept in the store so
    // that the record and the message are written in one transaction.
    FDb.Execute(
        "CREATE TABLE imports("
        "  origin BLOB NOT NULL,"
        "  entry INTEGER NOT NULL,"
        "  message INTEGER NOT NULL,"
        "  PRIMARY KEY(origin, entry)) WITHOUT ROWID;");
}

TStoreResult TStoreConnection::Run(TStoreOp op, bool write, const std::function<TStoreResult()>& body)
{
    if (TStoreFaults::ShouldFail(op))
        return srInjectedFailure;
    FPending.clear();
    TStoreResult result = srOk;
    try {
        if (write) {
            TSqlTransaction transaction(FDb);
            result = body();
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
    if (result == srOk)
        PostPending();
    FPending.clear();
    return result;
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

void TStoreConnection::PostPending()
{
    if (FPending.empty())
        return;
    std::lock_guard lock(gConnectionsMutex);
    for (const auto& event : FPending) {
        for (const TStoreConnection* connection : gConnections) {
            if (connection->FPath == FPath)
                connection->Deliver(*event);
        }
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
