#include "engine/StoreSchema.h"

#include "engine/SqlDatabase.h"

#include <QFileInfo>

#include <iterator>

#include <sqlite3.h>

namespace {

// Marks a database as a store ("Vell"); stores of version 1 predate it.
constexpr qint64 kApplicationId = 0x56656C6C;
constexpr int kUnmarkedVersion = 1;

// Step n turns a store of version n into one of version n + 1; a new store
// runs every step. A step never changes once released: later changes are new steps.
const char* const kSteps[] = {
    // 0 → 1: the folders with the root and the special folders, the
    // messages and the store's own settings.
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
    "  (5, 0, 'Drafts', 4);",

    // 1 → 2: every folder keeps its unread and total message counts, so that
    // reading them costs the same in a folder of ten messages or of a million.
    // The triggers keep them in the transaction of every change.
    "ALTER TABLE folders ADD COLUMN unread INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE folders ADD COLUMN total INTEGER NOT NULL DEFAULT 0;"
    "UPDATE folders SET"
    "  unread = (SELECT count(*) FROM messages m WHERE m.folder = folders.id AND (m.state & 2) != 0),"
    "  total = (SELECT count(*) FROM messages m WHERE m.folder = folders.id);"
    "CREATE TRIGGER messages_added AFTER INSERT ON messages BEGIN"
    "  UPDATE folders SET total = total + 1, unread = unread + ((NEW.state & 2) != 0) WHERE id = NEW.folder;"
    " END;"
    "CREATE TRIGGER messages_removed AFTER DELETE ON messages BEGIN"
    "  UPDATE folders SET total = total - 1, unread = unread - ((OLD.state & 2) != 0) WHERE id = OLD.folder;"
    " END;"
    "CREATE TRIGGER messages_changed AFTER UPDATE OF folder, state ON messages BEGIN"
    "  UPDATE folders SET total = total - 1, unread = unread - ((OLD.state & 2) != 0) WHERE id = OLD.folder;"
    "  UPDATE folders SET total = total + 1, unread = unread + ((NEW.state & 2) != 0) WHERE id = NEW.folder;"
    " END;",

    // 2 → 3: where imported messages came from: a file (by the identity the
    // importer gives it) and the message's place in that file. Kept in the
    // store so that the record and the message are written in one transaction.
    "CREATE TABLE imports("
    "  origin BLOB NOT NULL,"
    "  entry INTEGER NOT NULL,"
    "  message INTEGER NOT NULL,"
    "  PRIMARY KEY(origin, entry)) WITHOUT ROWID;",

    // 3 → 4: the list fields that message lists derive from each message,
    // kept so that a folder opens again without parsing its messages. A
    // record holds for the key it was derived under (the options and the
    // code that the derivation depends on); keys are stored once each. A
    // message's source never changes, so its record goes only with it.
    "CREATE TABLE listkeys(id INTEGER PRIMARY KEY, key BLOB NOT NULL UNIQUE);"
    "CREATE TABLE listfields(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, record BLOB NOT NULL);"
    "CREATE TRIGGER messages_removed_fields AFTER DELETE ON messages BEGIN"
    "  DELETE FROM listfields WHERE id = OLD.id;"
    " END;",

    // 4 → 5: the change log, one row of notifications per write transaction
    // in commit order, read by every process that has the store open. Its
    // numbers are never reused, also after the oldest rows are trimmed.
    "CREATE TABLE changes("
    "  seq INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  at INTEGER NOT NULL,"
    "  events BLOB NOT NULL);",
};

constexpr int kCurrentVersion = static_cast<int>(std::size(kSteps));

[[noreturn]] void RefuseFile()
{
    throw TSqlError{SQLITE_NOTADB, "the file is not a store of this program"};
}

} // namespace

int TStoreSchema::CurrentVersion()
{
    return kCurrentVersion;
}

bool TStoreSchema::FileHasContent(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !(info.isFile() && info.size() == 0);
}

TStoreSchema::TInfo TStoreSchema::Inspect(TSqlDatabase& db)
{
    // Reading the header first: a file that is not a database fails here.
    const qint64 objects = db.QueryInt("SELECT count(*) FROM sqlite_master");
    const qint64 application = db.QueryInt("PRAGMA application_id");
    const auto version = static_cast<int>(db.QueryInt("PRAGMA user_version"));
    if (application == kApplicationId)
        return {TKind::Store, version};
    if (application != 0)
        return {TKind::Foreign, 0};
    if (objects == 0 && version == 0)
        return {TKind::Empty, 0};
    const bool firstStore =
        version == kUnmarkedVersion
        && db.QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                       " AND name IN ('folders', 'messages', 'settings')") == 3;
    return firstStore ? TInfo{TKind::Store, version} : TInfo{TKind::Foreign, 0};
}

void TStoreSchema::Prepare(TSqlDatabase& db)
{
    const TInfo seen = Inspect(db);
    if (seen.Kind == TKind::Store && seen.Version == kCurrentVersion)
        return;
    if (seen.Kind == TKind::Foreign)
        RefuseFile();
    // Chosen before the first table exists; it has no effect afterwards.
    if (seen.Kind == TKind::Empty)
        db.Execute("PRAGMA auto_vacuum=INCREMENTAL");
    TSqlTransaction transaction(db);
    // Looked at again under the write lock: another process may have
    // created or upgraded the store meanwhile.
    const TInfo info = Inspect(db);
    if (info.Kind == TKind::Foreign || info.Version > kCurrentVersion)
        RefuseFile();
    for (int step = info.Version; step < kCurrentVersion; ++step)
        db.Execute(kSteps[step]);
    const QByteArray mark = "PRAGMA application_id=" + QByteArray::number(kApplicationId)
                            + ";PRAGMA user_version=" + QByteArray::number(kCurrentVersion);
    db.Execute(mark.constData());
    transaction.Commit();
}
