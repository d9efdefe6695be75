// vellumo-cli import-dbx: a store folder or folder files into the store,
// with JSON progress and summary, clear errors, and an interrupt that keeps
// what was imported.

#include "tests/cli/CliTestSupport.h"
#include "tests/support/DbxFixtureWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

TDbxFixtureMessage Message(const QByteArray& subject, quint32 flags)
{
    return {"From: a@example.org\r\nSubject: " + subject + "\r\n\r\ntext\r\n", flags, {}, false, false};
}

std::vector<QJsonObject> JsonLines(const QByteArray& out)
{
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n')) {
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    }
    return lines;
}

class DbxImportCommand : public CliTest
{
protected:
    QString WriteStore()
    {
        const QString dir = FFolder + S("/oe-store");
        EXPECT_TRUE(WriteDbxStore(dir, StandardDbxFolders({{7, 1, "Lists", "Lists.dbx", 0, 3}}),
                                  {{S("Inbox.dbx"), {Message("new", 0), Message("flagged", 0xA0)}},
                                   {S("Lists.dbx"), {Message("list", 0x80)}}}));
        return dir;
    }
};

TEST_F(DbxImportCommand, ImportsAStoreFolderWithJsonProgressAndSummaryAndNotTwice)
{
    const QString dir = WriteStore();
    const std::vector<QJsonObject> lines = JsonLines(RunOk({S("import-dbx"), S("/"), dir, S("--json")}));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front()[S("type")].toString(), S("progress"));
    EXPECT_EQ(lines[lines.size() - 2][S("done")], lines[lines.size() - 2][S("total")]);
    const QJsonObject summary = lines.back();
    EXPECT_EQ(summary[S("type")].toString(), S("summary"));
    EXPECT_TRUE(summary[S("complete")].toBool());
    EXPECT_EQ(summary[S("imported")].toInt(), 3);
    const QJsonArray files = summary[S("files")].toArray();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].toObject()[S("folder")].toString(), S("Inbox"));
    EXPECT_EQ(files[1].toObject()[S("folder")].toString(), S("Lists"));

    const QJsonArray inbox = QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array();
    ASSERT_EQ(inbox.size(), 2);
    EXPECT_EQ(inbox[0].toObject()[S("subject")].toString(), S("flagged"));
    EXPECT_TRUE(inbox[0].toObject()[S("flagged")].toBool());
    EXPECT_FALSE(inbox[0].toObject()[S("unread")].toBool());
    EXPECT_TRUE(inbox[1].toObject()[S("unread")].toBool());

    const QJsonObject again = JsonLines(RunOk({S("import-dbx"), S("/"), dir, S("--json")})).back();
    EXPECT_EQ(again[S("imported")].toInt(), 0);
    EXPECT_EQ(again[S("alreadyImported")].toInt(), 3);
    EXPECT_EQ(QJsonDocument::fromJson(RunOk({S("list"), S("Lists"), S("--json")})).array().size(), 1);
}

TEST_F(DbxImportCommand, ReportsDamageAndUnreadableFilesAndImportsTheRest)
{
    std::vector<TDbxFixtureMessage> messages{Message("one", 0x80), Message("two", 0x80)};
    TDbxFixtureLayout layout;
    QByteArray damaged = WriteDbxMessageFile(messages, &layout);
    ZeroDbxIndex(damaged, layout);
    const QString damagedFile = FFolder + S("/Damaged.dbx");
    const QString textFile = FFolder + S("/Notes.dbx");
    WriteTestFile(damagedFile, damaged);
    WriteTestFile(textFile, "just text");
    RunOk({S("create-folder"), S("/"), S("Old")});
    const TCliResult result = Run({S("import-dbx"), S("Old"), damagedFile, textFile});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Out.contains("Damaged.dbx -> Old: 2 imported, index damaged: 2 recovered")) << result.Out.constData();
    EXPECT_TRUE(result.Err.contains("Notes.dbx: not a message file")) << result.Err.constData();
    EXPECT_EQ(QJsonDocument::fromJson(RunOk({S("list"), S("Old"), S("--json")})).array().size(), 2);
}

TEST_F(DbxImportCommand, MistakesInTheCommandLineChangeNothing)
{
    const QString dir = WriteStore();
    EXPECT_EQ(Run({S("import-dbx"), S("Inbox")}).Status, 2);
    const TCliResult unknown = Run({S("import-dbx"), S("No/Such"), dir});
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_TRUE(unknown.Err.contains("no folder")) << unknown.Err.constData();
    EXPECT_EQ(QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array().size(), 0);
}

// Interrupted with Ctrl+C, the command keeps what it imported, says so, and
// the same command later goes on from there.
TEST_F(DbxImportCommand, AnInterruptKeepsWhatWasImportedAndARerunFinishes)
{
    constexpr int kCount = 20000;
    std::vector<TDbxFixtureMessage> messages;
    for (int i = 0; i < kCount; ++i)
        messages.push_back(Message("m" + QByteArray::number(i), 0x80));
    const QString file = FFolder + S("/Big.dbx");
    WriteTestFile(file, WriteDbxMessageFile(messages));

    QProcess process;
    process.start(S(VELLUMO_CLI), {S("--store"), FStore, S("import-dbx"), S("Inbox"), file, S("--json")});
    ASSERT_TRUE(process.waitForReadyRead(60000));
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 1);
    const QJsonObject summary = JsonLines(process.readAllStandardOutput()).back();
    EXPECT_TRUE(summary[S("cancelled")].toBool());
    const int first = summary[S("imported")].toInt();
    EXPECT_GT(first, 0);
    EXPECT_LT(first, kCount);

    const QJsonObject rest = JsonLines(RunOk({S("import-dbx"), S("Inbox"), file, S("--json")})).back();
    EXPECT_EQ(rest[S("imported")].toInt(), kCount - first);
    EXPECT_EQ(rest[S("alreadyImported")].toInt(), first);
}

} // namespace
