#include "tests/cli/CliTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

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

// Folder ids in the JSON listing by path.
QMap<QString, qint64> IdsByPath(const QByteArray& json)
{
    QMap<QString, qint64> ids;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array())
        ids.insert(value.toObject().value(QStringLiteral("path")).toString(),
                   value.toObject().value(QStringLiteral("id")).toInteger());
    return ids;
}

TEST_F(CliTest, ASlashInANameIsWrittenWithABackslash)
{
    EXPECT_TRUE(RunOk(Args({"create-folder", "Inbox", "A/B"})).contains("Inbox/A\\/B"));
    RunOk(Args({"create-folder", "Inbox", "C\\D"}));
    const QMap<QString, qint64> ids = IdsByPath(RunOk(Args({"folders", "--json"})));
    EXPECT_TRUE(ids.contains(QStringLiteral("Inbox/A\\/B")));
    EXPECT_TRUE(ids.contains(QStringLiteral("Inbox/C\\\\D")));
    RunOk(Args({"create-folder", "Inbox/A\\/B", "Child"}));
    RunOk(Args({"rename-folder", "Inbox/C\\\\D", "E"}));
    EXPECT_TRUE(IdsByPath(RunOk(Args({"folders", "--json"}))).contains(QStringLiteral("Inbox/A\\/B/Child")));
    EXPECT_TRUE(IdsByPath(RunOk(Args({"folders", "--json"}))).contains(QStringLiteral("Inbox/E")));

    // A name that begins with "#" is not read back as an id.
    // "created #ID PATH"
    const QString path = QString::fromUtf8(RunOk(Args({"create-folder", "/", "#1"})).trimmed()).section(u' ', 2);
    EXPECT_EQ(path, QStringLiteral("\\#1"));
    RunOk({QStringLiteral("create-folder"), path, QStringLiteral("Under")});
    EXPECT_TRUE(IdsByPath(RunOk(Args({"folders", "--json"}))).contains(QStringLiteral("\\#1/Under")));
}

TEST_F(CliTest, APathThatMatchesSeveralFoldersIsAnError)
{
    RunOk(Args({"create-folder", "Inbox", "Dup"}));
    RunOk(Args({"create-folder", "Inbox", "Dup"}));
    RunOk(Args({"create-folder", "Drafts", "Same"}));
    RunOk(Args({"create-folder", "Drafts", "SAME"}));
    RunOk(Args({"create-folder", "Sent Items", "Case"}));
    RunOk(Args({"create-folder", "Sent Items", "CASE"}));
    const QByteArray json = RunOk(Args({"folders", "--json"}));
    QList<qint64> dup;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array())
        if (value.toObject().value(QStringLiteral("path")).toString() == QStringLiteral("Inbox/Dup"))
            dup << value.toObject().value(QStringLiteral("id")).toInteger();
    ASSERT_EQ(dup.size(), 2);
    struct TCase {
        const char* Path;
        QByteArray Error;
    };
    const TCase cases[] = {
        {"Inbox/Dup", "ambiguous: #" + QByteArray::number(dup[0]) + ", #" + QByteArray::number(dup[1]) + "; use #ID"},
        {"Drafts/same", "ambiguous: #"},   // no exact match; two ignoring case
        {"Sent Items/Case", ""},            // one exact match wins over the other spelling
    };
    for (const TCase& c : cases) {
        const TCliResult result = Run({QStringLiteral("list"), QString::fromUtf8(c.Path)});
        EXPECT_EQ(result.Status, c.Error.isEmpty() ? 0 : 1) << c.Path;
        EXPECT_TRUE(result.Err.contains(c.Error)) << c.Path << ": " << result.Err.constData();
    }
}

TEST_F(CliTest, FolderNamesThatCannotBeStoredAreRefusedWithTheReason)
{
    const QByteArray before = RunOk(Args({"folders", "--json"}));
    struct TCase {
        const char* Name;
        QString FolderName;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"LineFeed", QStringLiteral("a\nb"), {QStringLiteral("control character"), QStringLiteral("U+000A")}},
        {"Escape", QStringLiteral("\x1b[2J"), {QStringLiteral("control character"), QStringLiteral("U+001B")}},
        {"Tab", QStringLiteral("a\tb"), {QStringLiteral("U+0009")}},
        {"NotInTheCodePage", QString::fromUtf16(u"x\u4E9C\u4E9Cy\U0001F600"),
         {QStringLiteral("code page 1252"), QString::fromUtf16(u"\u4E9C (U+4E9C)"),
          QString::fromUtf16(u"\U0001F600 (U+1F600)")}},
        // The name is shown as it is, "%2" included.
        {"PercentSigns", QString::fromUtf16(u"50%2 %3 \u4E9C"),
         {QString::fromUtf16(u"\"50%2 %3 \u4E9C\" cannot be written in the system code page 1252: \u4E9C")}},
    };
    for (const TCase& c : cases) {
        const TCliResult result = Run({QStringLiteral("create-folder"), QStringLiteral("Inbox"), c.FolderName},
                                      {-1, {{QStringLiteral("VELLUMO_CODEPAGE"), QStringLiteral("1252")}}});
        EXPECT_EQ(result.Status, 1) << c.Name;
        for (const QString& expected : c.Expected)
            EXPECT_TRUE(QString::fromUtf8(result.Err).contains(expected)) << c.Name << ": " << result.Err.constData();
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
