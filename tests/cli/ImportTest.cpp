// Imports report on every file: what was imported, what was skipped and
// why, and where a failing file stopped.

#include "tests/cli/CliTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class CliImport : public CliTest
{
protected:
    [[nodiscard]] qsizetype Count(const QString& folder) const
    {
        return QJsonDocument::fromJson(RunOk({S("list"), folder, S("--json")})).array().size();
    }
    QString File(const char* name, const QByteArray& bytes) const
    {
        const QString path = FFolder + QLatin1Char('/') + QLatin1String(name);
        WriteTestFile(path, bytes);
        return path;
    }
};

QByteArray Mailbox(int messages, int bodyBytes)
{
    QByteArray file;
    for (int i = 0; i < messages; ++i)
        file += "From a@example.org Mon Mar  2 10:00:00 2026\nSubject: " + QByteArray::number(i) + "\n\n" +
                QByteArray(bodyBytes, 'x') + "\n\n";
    return file;
}

TEST_F(CliImport, EveryFileIsReportedAndAFailureSaysWhereItStopped)
{
    const QString small = File("small.mbox", Mailbox(2, 10));
    const QString large = File("large.mbox", Mailbox(8, 200 * 1024));
    // The file-size limit stands in for a disk that fills up during the second file.
    const TCliResult result = Run({S("import"), S("Inbox"), small, large}, {700 * 1024, {}});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Out.contains("imported 2 messages from " + small.toUtf8())) << result.Out.constData();
    EXPECT_TRUE(result.Err.contains(large.toUtf8())) << result.Err.constData();
    // The store's reason follows (a full disk says so; the file-size limit
    // reaches SQLite as a failed write).
    EXPECT_TRUE(result.Err.contains("Error creating new message: the ")) << result.Err.constData();
    EXPECT_TRUE(result.Err.contains("imported before the failure")) << result.Err.constData();
    const qsizetype stored = Count(S("Inbox"));
    EXPECT_GE(stored, 2);
    EXPECT_LT(stored, 10);
    EXPECT_TRUE(result.Err.contains(QByteArray::number(stored - 2) + " message")) << result.Err.constData();
}

TEST_F(CliImport, EmptyFilesAreSkippedAndHeaderlessMessagesNamed)
{
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    const QString emptyMessage = File("empty.eml", {});
    const QString emptyMailbox = File("empty.mbox", {});
    const QString garbage = File("garbage.eml", "\x89PNG" + binary);
    const QString text = File("notes.mbox", "Shopping list\nmilk\n");
    const QString mixed = File("mixed.mbox", "From a\nSubject: fine\n\nbody\n\nFrom b\n" + binary + "\n\n");
    const QString good = File("good.eml", "Subject: good\r\n\r\nbody\r\n");
    const TCliResult result = Run({S("import"), S("Inbox"), emptyMessage, emptyMailbox, garbage, text, mixed, good});
    EXPECT_EQ(result.Status, 0) << result.Err.constData();
    for (const QString& empty : {emptyMessage, emptyMailbox})
        EXPECT_TRUE(result.Err.contains("warning: " + empty.toUtf8() + " is empty: skipped")) << result.Err.constData();
    EXPECT_TRUE(result.Err.contains("warning: " + garbage.toUtf8() + ": the message has no header")) << result.Err.constData();
    EXPECT_TRUE(result.Err.contains("warning: " + text.toUtf8() + ": the message has no header")) << result.Err.constData();
    EXPECT_TRUE(result.Err.contains("warning: " + mixed.toUtf8() + ": message 2 has no header")) << result.Err.constData();
    EXPECT_FALSE(result.Err.contains(good.toUtf8())) << result.Err.constData();
    EXPECT_EQ(Count(S("Inbox")), 5);
}

// File names are reported as they are, even where they look like the
// placeholders of the report's own texts.
TEST_F(CliImport, FileNamesWithPercentSignsAreReportedAsTheyAre)
{
    const QString notes = File("100%2 notes.mbox", "Shopping list\nmilk\n");
    const QString missing = FFolder + S("/gone%2%1.mbox");
    const TCliResult result = Run({S("import"), S("Inbox"), notes, missing});
    EXPECT_EQ(result.Status, 1);
    const QList<QByteArray> expected = {
        "importing " + notes.toUtf8() + " 100%",
        "warning: " + notes.toUtf8() + ": the message has no header",
        "cannot be opened: " + missing.toUtf8() + " (",
        "(0 message(s) imported before the failure)",
    };
    for (const QByteArray& text : expected)
        EXPECT_TRUE(result.Err.contains(text)) << text.constData() << " in " << result.Err.constData();
    EXPECT_FALSE(result.Err.contains("QString::arg")) << result.Err.constData();
}

// A message file that lost its ".eml" ending is one message, every byte of it.
TEST_F(CliImport, AFileThatIsNoMailboxIsImportedWhole)
{
    const QByteArray source = "Subject: First\r\nFrom: a@example.org\r\n\r\nbody\r\n\r\nFrom the desk\r\n";
    const QString file = File("message.mbox", source);
    EXPECT_TRUE(RunOk({S("import"), S("Inbox"), file}).contains("imported 1 messages"));
    const QJsonArray list = QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].toObject()[S("subject")].toString(), S("First"));
    const QString out = TTestEnvironment::NewFolder();
    const QString saved = QString::fromUtf8(
        RunOk({S("save"), S("Inbox"), QString::number(list[0].toObject()[S("id")].toInteger()), S("--dir"), out}).trimmed());
    EXPECT_EQ(ReadTestFile(saved), source);
}

} // namespace
