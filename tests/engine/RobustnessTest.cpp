// The store file under hostile conditions: files that are not stores, a
// store of an older version, a store the user may read but not write.

#include "tests/engine/ChildProcess.h"
#include "tests/engine/StoreTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <unistd.h>

namespace {

// Runs SQL on a database file directly, as another program would.
void RunSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

void MakeStore(const QString& path)
{
    TStoreNamespace store;
    ASSERT_EQ(store.Initialize(path), srOk);
}

struct TForeignFileCase {
    const char* Name;
    std::function<void(const QString& path)> Make;
};

void PrintTo(const TForeignFileCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ForeignFile : public ::testing::TestWithParam<TForeignFileCase>
{
};

} // namespace

// Whatever lies at the store's path that is not a store, the store refuses
// to open it and leaves it byte for byte as it was.
TEST_P(ForeignFile, IsRefusedAndLeftUntouched)
{
    const QString path = TTestEnvironment::NewStorePath();
    GetParam().Make(path);
    const QByteArray before = ReadTestFile(path);
    ASSERT_FALSE(before.isEmpty());
    TStoreNamespace store;
    EXPECT_EQ(store.Initialize(path), srNotADatabase);
    EXPECT_FALSE(store.IsInitialized());
    EXPECT_TRUE(TStoreNamespace::StoreExists(path));
    EXPECT_EQ(ReadTestFile(path), before);
    TFolderProps props;
    EXPECT_NE(store.GetFolderProperties(0, 0, props), srOk);
}

INSTANTIATE_TEST_SUITE_P(
    StoreFiles, ForeignFile,
    ::testing::Values(
        TForeignFileCase{"TextFile", [](const QString& path) {
            WriteTestFile(path, QByteArray("This is a text file, not a database.\n").repeated(200));
        }},
        TForeignFileCase{"AnotherProgramsDatabase", [](const QString& path) {
            RunSql(path, "CREATE TABLE contacts(name TEXT, mail TEXT);"
                         "INSERT INTO contacts VALUES ('Ann', 'ann@example.org'), ('Bob', 'bob@example.org');");
        }},
        TForeignFileCase{"AnotherProgramsDatabaseInWalMode", [](const QString& path) {
            RunSql(path, "PRAGMA journal_mode=WAL; CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES ('x');");
        }},
        TForeignFileCase{"ADatabaseWithTablesOfTheSameNames", [](const QString& path) {
            RunSql(path, "CREATE TABLE folders(id INTEGER PRIMARY KEY, title TEXT);"
                         "CREATE TABLE messages(id INTEGER PRIMARY KEY, body TEXT);"
                         "CREATE TABLE settings(k, v);");
        }},
        TForeignFileCase{"AnEmptyDatabaseWithAVersionSet", [](const QString& path) {
            RunSql(path, "PRAGMA user_version=7;");
        }},
        TForeignFileCase{"AnEmptyDatabaseOfAnotherApplication", [](const QString& path) {
            RunSql(path, "PRAGMA application_id=1234;");
        }},
        TForeignFileCase{"AStoreOfANewerVersion", [](const QString& path) {
            MakeStore(path);
            RunSql(path, "PRAGMA user_version=99;");
        }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(StoreFiles, AMissingOrEmptyFileIsNoStoreAndBecomesOne)
{
    for (const bool emptyFile : {false, true}) {
        const QString path = TTestEnvironment::NewStorePath();
        if (emptyFile)
            WriteTestFile(path, {});
        EXPECT_FALSE(TStoreNamespace::StoreExists(path));
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        TFolderProps inbox;
        EXPECT_EQ(store.GetFolderProperties(1, 0, inbox), srOk);
        EXPECT_EQ(inbox.Name, "Inbox");
        EXPECT_TRUE(TStoreNamespace::StoreExists(path));
    }
}

TEST(StoreFiles, AFolderInPlaceOfTheFileIsRefused)
{
    const QString path = TTestEnvironment::NewFolder();
    TStoreNamespace store;
    EXPECT_NE(store.Initialize(path), srOk);
}

// A store written by the first version of the program: its folders lack the
// counts. Opening it adds them, counted from its messages.
TEST(StoreFiles, AFirstVersionStoreIsUpgradedWithItsCounts)
{
    const QString path = TTestEnvironment::NewStorePath();
    RunSql(path,
           "PRAGMA auto_vacuum=INCREMENTAL; PRAGMA journal_mode=WAL;"
           "CREATE TABLE folders(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
           "  name BLOB NOT NULL, special INTEGER NOT NULL DEFAULT -1);"
           "CREATE INDEX folders_parent ON folders(parent, id);"
           "CREATE TABLE messages(id INTEGER PRIMARY KEY AUTOINCREMENT, folder INTEGER NOT NULL,"
           "  state INTEGER NOT NULL, size INTEGER NOT NULL, received INTEGER NOT NULL, source BLOB NOT NULL);"
           "CREATE INDEX messages_folder ON messages(folder, id, state, size, received);"
           "CREATE TABLE settings(key BLOB PRIMARY KEY, value INTEGER NOT NULL);"
           "INSERT INTO folders(id, parent, name, special) VALUES (0, -1, '', -1), (1, 0, 'Inbox', 0),"
           "  (2, 0, 'Outbox', 1), (3, 0, 'Sent Items', 2), (4, 0, 'Deleted Items', 3), (5, 0, 'Drafts', 4),"
           "  (6, 1, 'Work', -1);"
           "INSERT INTO messages(folder, state, size, received, source) VALUES"
           "  (1, 2, 1, 0, 'a'), (1, 0, 1, 0, 'b'), (1, 2050, 1, 0, 'c'), (6, 2, 1, 0, 'd');"
           "INSERT INTO settings VALUES (CAST('MarkPreviewAsRead' AS BLOB), 5);"
           "PRAGMA user_version=1;");
    TStoreNamespace store;
    ASSERT_EQ(store.Initialize(path), srOk);
    struct TCounts {
        TStoreId Folder;
        int Unread, Total;
    };
    for (const TCounts& expected : {TCounts{1, 2, 3}, TCounts{6, 1, 1}, TCounts{5, 0, 0}}) {
        TFolderProps props;
        ASSERT_EQ(store.GetFolderProperties(expected.Folder, 0, props), srOk);
        EXPECT_EQ(props.UnreadCount, expected.Unread) << expected.Folder;
        EXPECT_EQ(props.MessageCount, expected.Total) << expected.Folder;
    }
    qint64 setting = 0;
    EXPECT_EQ(store.ReadSetting("MarkPreviewAsRead", setting), srOk);
    EXPECT_EQ(setting, 5);
    // The counts follow the changes made after the upgrade.
    std::unique_ptr<TStoreFolder> work;
    ASSERT_EQ(store.OpenFolder(6, 0, work), srOk);
    ASSERT_EQ(work->SaveMessage("e", kMsgUnread, nullptr), srOk);
    TFolderProps props;
    ASSERT_EQ(store.GetFolderProperties(6, 0, props), srOk);
    EXPECT_EQ(props.UnreadCount, 2);
    EXPECT_EQ(props.MessageCount, 2);
    EXPECT_EQ(SqlInt(path, "PRAGMA user_version"), 5);
    EXPECT_EQ(SqlInt(path, "SELECT count(*) FROM imports"), 0);
    EXPECT_NE(SqlInt(path, "PRAGMA application_id"), 0);
}

namespace {

struct TReadOnlyCase {
    const char* Name;
    QFile::Permissions Folder;
    QFile::Permissions File;
};

void PrintTo(const TReadOnlyCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ReadOnlyStore : public ::testing::TestWithParam<TReadOnlyCase>
{
};

constexpr QFile::Permissions kReadable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kEnterable = kReadable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
constexpr QFile::Permissions kWritable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

// What a user who may read the store but not change it can do with it.
QByteArray BrowseReadOnly(const QString& path, TStoreId message, const QByteArray& source)
{
    QByteArray report;
    const auto check = [&report](bool ok, const char* what) {
        if (!ok)
            report += QByteArray(what) + '\n';
    };
    TStoreNamespace store;
    const TStoreResult opened = store.Initialize(path);
    check(opened == srOk, "the store does not open");
    if (opened != srOk)
        return report + StoreResultText(opened);
    TFolderProps inbox;
    check(store.GetFolderProperties(1, 0, inbox) == srOk && inbox.MessageCount == 1, "the Inbox cannot be read");
    TFolderProps child;
    TEnumHandle handle = 0;
    check(store.GetFirstSubFolder(0, child, handle) == srOk && child.Name == "Inbox", "the folders cannot be listed");
    store.GetSubFolderClose(handle);
    std::unique_ptr<TStoreFolder> folder;
    std::unique_ptr<QIODevice> stream;
    check(store.OpenFolder(1, 0, folder) == srOk, "the Inbox does not open");
    if (!folder)
        return report;
    check(folder->OpenMessage(message, stream) == srOk && stream->readAll() == source, "the message cannot be read");
    std::vector<TMessageListing> rows;
    check(folder->ReadListing(0, 10, "key", rows) == srOk && rows.size() == 1 && rows[0].Source == source,
          "the folder cannot be listed");
    check(folder->WriteListFields("key", {{message, "fields"}}) == srReadOnly,
          "keeping list fields did not fail as read-only");
    check(store.CreateFolder(1, "New", 0, nullptr) == srReadOnly, "creating a folder did not fail as read-only");
    check(folder->SaveMessage("x", 0, nullptr) == srReadOnly, "saving did not fail as read-only");
    check(folder->MarkMessagesAsRead(true, 0, {message}) == srReadOnly, "marking did not fail as read-only");
    return report;
}

} // namespace

// The test runs as a user that file permissions bind: a child process that
// has given up root's rights when the tests run as root.
TEST_P(ReadOnlyStore, OpensForBrowsingAndRefusesChanges)
{
    QTemporaryDir shared(QDir::tempPath() + QStringLiteral("/vellumo-readonly-XXXXXX"));
    ASSERT_TRUE(shared.isValid());
    const QString folder = shared.filePath(QStringLiteral("store"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/store.db");
    const QByteArray source = "Subject: kept\r\n\r\nbody\r\n";
    TStoreId message = kNoStoreId;
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(store.OpenFolder(1, 0, inbox), srOk);
        ASSERT_EQ(inbox->SaveMessage(source, kMsgUnread, &message), srOk);
    }
    const QByteArray before = ReadTestFile(path);
    QFile::setPermissions(shared.path(), kEnterable);
    QFile::setPermissions(path, GetParam().File);
    QFile::setPermissions(folder, GetParam().Folder);

    TChildProcess child([&] {
        if (geteuid() == 0) {
            const QByteArray dropped = DropToNobody();
            if (!dropped.isEmpty())
                return "skip: " + dropped;
        }
        return BrowseReadOnly(path, message, source);
    });
    ASSERT_TRUE(child.Started());
    const QByteArray report = child.Finish();
    for (const QString& made : {shared.path(), folder})
        QFile::setPermissions(made, kEnterable | QFile::WriteOwner);
    if (report.startsWith("skip: "))
        GTEST_SKIP() << "cannot give up root's rights for this test: " << report.mid(6).toStdString();
    EXPECT_EQ(report.toStdString(), "");
    EXPECT_EQ(ReadTestFile(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    StoreFiles, ReadOnlyStore,
    ::testing::Values(TReadOnlyCase{"ReadOnlyFile", kEnterable | kWritable, kReadable},
                      TReadOnlyCase{"ReadOnlyFolder", kEnterable, kReadable},
                      TReadOnlyCase{"ReadOnlyFolderWritableFile", kEnterable, kReadable | kWritable}),
    [](const auto& info) { return std::string(info.param.Name); });
