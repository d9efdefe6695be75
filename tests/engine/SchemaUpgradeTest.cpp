// A store written by an earlier version of the program is upgraded in place
// when it is opened, and keeps everything it held.

#include "engine/StoreNamespace.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// Runs a script of SQL statements on a store file directly.
void Execute(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// Runs one query on a store file directly; returns the first column of the last row.
qint64 Query(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    qint64 value = -1;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

// The tables of the first version of the store, with one message in the Inbox.
const char* const kVersion1Store =
    "CREATE TABLE folders(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL, name BLOB NOT NULL,"
    "  special INTEGER NOT NULL DEFAULT -1);"
    "CREATE INDEX folders_parent ON folders(parent, id);"
    "CREATE TABLE messages(id INTEGER PRIMARY KEY AUTOINCREMENT, folder INTEGER NOT NULL, state INTEGER NOT NULL,"
    "  size INTEGER NOT NULL, received INTEGER NOT NULL, source BLOB NOT NULL);"
    "CREATE INDEX messages_folder ON messages(folder, id, state, size, received);"
    "CREATE TABLE settings(key BLOB PRIMARY KEY, value INTEGER NOT NULL);"
    "INSERT INTO folders(id, parent, name, special) VALUES (0, -1, '', -1), (1, 0, 'Inbox', 0),"
    "  (2, 0, 'Outbox', 1), (3, 0, 'Sent Items', 2), (4, 0, 'Deleted Items', 3), (5, 0, 'Drafts', 4),"
    "  (6, 1, 'Kept', -1);"
    "INSERT INTO messages(folder, state, size, received, source) VALUES (1, 2, 9, 1000, 'Subject:x');"
    "PRAGMA user_version=1;";

TEST(SchemaUpgrade, AVersion1StoreIsUpgradedAndKeepsItsFoldersAndMessages)
{
    const QString path = TTestEnvironment::NewStorePath();
    Execute(path, kVersion1Store);
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        TFolderProps props;
        ASSERT_EQ(store.GetFolderProperties(6, 0, props), srOk);
        EXPECT_EQ(props.Name, "Kept");
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(store.OpenFolder(1, 0, inbox), srOk);
        TMessageProps message;
        ASSERT_EQ(inbox->GetMessageProperties(1, 0, message), srOk);
        EXPECT_EQ(message.State, kMsgUnread);
        EXPECT_EQ(message.Received.toSecsSinceEpoch(), 1000);
    }
    EXPECT_EQ(Query(path, "PRAGMA user_version"), 2);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM imports"), 0);
    // Opening again changes nothing more.
    TStoreNamespace again;
    ASSERT_EQ(again.Initialize(path), srOk);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM messages"), 1);
}

TEST(SchemaUpgrade, ANewStoreStartsAtTheCurrentVersion)
{
    const QString path = TTestEnvironment::NewStorePath();
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
    }
    EXPECT_EQ(Query(path, "PRAGMA user_version"), 2);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM folders"), 6);
    EXPECT_EQ(Query(path, "PRAGMA auto_vacuum"), 2);   // incremental
}

TEST(SchemaUpgrade, AStoreOfANewerVersionIsRefusedAndLeftUntouched)
{
    const QString path = TTestEnvironment::NewStorePath();
    Execute(path, "CREATE TABLE future(x); PRAGMA user_version=99;");
    const QByteArray before = ReadTestFile(path);
    TStoreNamespace store;
    EXPECT_EQ(store.Initialize(path), srNotADatabase);
    EXPECT_EQ(ReadTestFile(path), before);
}

} // namespace
