#include "tests/cli/CliTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList Args(std::initializer_list<const char*> words)
{
    QStringList list;
    for (const char* word : words)
        list << QString::fromUtf8(word);
    return list;
}

// Folder paths of the JSON listing, in tree order.
QStringList Paths(const QByteArray& json)
{
    QStringList paths;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array())
        paths << value.toObject().value(QStringLiteral("path")).toString();
    return paths;
}

TEST_F(CliTest, FolderTreeRoundTrip)
{
    RunOk(Args({"create-folder", "Inbox", "Projects"}));
    RunOk(Args({"create-folder", "Inbox/Projects", "Vellumo"}));
    RunOk(Args({"rename-folder", "inbox/projects", "Work"}));   // a path ignores case when that is unique
    RunOk(Args({"move-folder", "Inbox/Work", "Drafts"}));
    EXPECT_EQ(Paths(RunOk(Args({"folders", "--json"}))),
              QStringList({QStringLiteral("Inbox"), QStringLiteral("Outbox"), QStringLiteral("Sent Items"),
                           QStringLiteral("Deleted Items"), QStringLiteral("Drafts"), QStringLiteral("Drafts/Work"),
                           QStringLiteral("Drafts/Work/Vellumo")}));
    EXPECT_TRUE(RunOk(Args({"delete-folder", "Drafts/Work"})).contains("moved"));
    EXPECT_TRUE(RunOk(Args({"delete-folder", "Deleted Items/Work"})).contains("deleted"));
    EXPECT_EQ(Paths(RunOk(Args({"folders", "--json"}))).size(), 5);
    RunOk(Args({"compact"}));
}

TEST_F(CliTest, ErrorsChangeNothingAndExitNonZero)
{
    RunOk(Args({"create-folder", "Inbox", "Keep"}));
    const QByteArray before = RunOk(Args({"folders", "--json"}));
    struct TCase {
        QStringList Arguments;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {Args({"create-folder", "Nowhere", "x"}), 1, "no folder"},
        {Args({"rename-folder", "Inbox", "x"}), 1, "cannot rename"},
        {Args({"move-folder", "Inbox/Keep", "Inbox/Keep"}), 1, "cannot move"},
        {Args({"delete-folder", "Drafts"}), 1, "cannot delete"},
        {Args({"delete-folder", "#999"}), 1, "no folder with id"},
        {{QStringLiteral("create-folder"), QStringLiteral("Inbox"), QString(300, QLatin1Char('x'))}, 1, "1 to 255"},
        {Args({"create-folder", "Inbox"}), 2, "expected 2"},
        {Args({"no-such-command"}), 2, "unknown command"},
    };
    for (const TCase& c : cases) {
        const TCliResult result = Run(c.Arguments);
        EXPECT_EQ(result.Status, c.Status) << c.Arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.Err.contains(c.Message)) << result.Err.constData();
    }
    EXPECT_EQ(RunOk(Args({"folders", "--json"})), before);
}

TEST_F(CliTest, AMissingStoreIsNotCreatedByMistake)
{
    const QString elsewhere = FFolder + QStringLiteral("/typo/store.db");
    const TCliResult result = RunOn(elsewhere, Args({"folders"}));
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("no store at"));
    EXPECT_FALSE(QFile::exists(elsewhere));
}

TEST_F(CliTest, AnEmptyFileCountsAsNoStore)
{
    const QString empty = FFolder + QStringLiteral("/empty.db");
    WriteTestFile(empty, {});
    const TCliResult result = RunOn(empty, Args({"folders"}));
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("no store at"));
    EXPECT_TRUE(ReadTestFile(empty).isEmpty());
}

TEST_F(CliTest, EveryCommandHasHelp)
{
    const QByteArray overview = RunOk(Args({"--help"}));
    for (const char* command : {"folders", "create-folder", "rename-folder", "move-folder", "delete-folder", "compact",
                                "list", "show", "save", "export", "import", "mark-read", "mark-unread", "copy", "move",
                                "delete"}) {
        EXPECT_TRUE(overview.contains(command)) << command;
        EXPECT_TRUE(RunOk({QString::fromLatin1(command), QStringLiteral("--help")}).contains("Usage:")) << command;
    }
}

} // namespace
