// Errors say what happened, in the same words from every command, with or
// without a language file.

#include "tests/cli/CliTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class CliErrors : public CliTest
{
};

TEST_F(CliErrors, WithoutALanguageFileTheTextsAreEnglish)
{
    const QString empty = TTestEnvironment::NewFolder();
    const QString missing = FFolder + S("/missing.mbox");
    const TCliResult result = Run({S("import"), S("Inbox"), missing}, {-1, {{S("VELLUMO_DATA_DIR"), empty}}});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("The file cannot be opened: " + missing.toUtf8())) << result.Err.constData();
}

// The store's own failure reaches the user, not just "something failed".
TEST_F(CliErrors, AStoreThatCannotBeOpenedGivesTheSameWordsToEveryCommand)
{
    const QString store = FFolder + S("/broken.db");
    WriteTestFile(store, QByteArray(4096, 'x'));
    const QString message = FFolder + S("/m.eml");
    WriteTestFile(message, "Subject: x\r\n\r\nbody\r\n");
    const QList<QStringList> commands = {
        {S("folders")},
        {S("list"), S("Inbox")},
        {S("import"), S("Inbox"), message},
        {S("create-folder"), S("Inbox"), S("New")},
        {S("export"), S("Inbox"), FFolder + S("/out.mbox")},
        {S("compact")},
    };
    QByteArray first;
    for (const QStringList& command : commands) {
        const TCliResult result = RunOn(store, command);
        EXPECT_EQ(result.Status, 1) << command.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.Err.contains("The message store cannot be opened")) << result.Err.constData();
        EXPECT_TRUE(result.Err.contains(store.toUtf8())) << result.Err.constData();
        if (first.isEmpty())
            first = result.Err;
        EXPECT_EQ(result.Err, first) << command.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_FALSE(QFile::exists(FFolder + S("/out.mbox")));
}

TEST_F(CliErrors, ABusyStoreSaysHowLongItWaited)
{
    const QString message = FFolder + S("/m.eml");
    WriteTestFile(message, "Subject: x\r\n\r\nbody\r\n");
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(FStore).constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer clock;
    clock.start();
    const TCliResult result = Run({S("import"), S("Inbox"), message});
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("the store is busy: another program has kept it locked for 10 s"))
        << result.Err.constData();
    EXPECT_GE(clock.elapsed(), 9000);
}

TEST_F(CliErrors, FolderChangesThatFailSayWhy)
{
    struct TCase {
        QStringList Arguments;
        const char* Reason;
    };
    const TCase cases[] = {
        {{S("rename-folder"), S("Inbox"), S("x")}, "operation not permitted on this folder"},
        {{S("delete-folder"), S("Drafts")}, "operation not permitted on this folder"},
        {{S("move-folder"), S("Outbox"), S("Inbox")}, "operation not permitted on this folder"},
    };
    for (const TCase& c : cases) {
        const TCliResult result = Run(c.Arguments);
        EXPECT_EQ(result.Status, 1) << c.Arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.Err.contains(c.Reason)) << result.Err.constData();
    }
}

} // namespace
