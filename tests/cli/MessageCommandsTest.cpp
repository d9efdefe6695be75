#include "tests/cli/CliTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList Args(std::initializer_list<QString> words)
{
    return QStringList(words);
}

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

QJsonArray ListJson(const QByteArray& out)
{
    return QJsonDocument::fromJson(out).array();
}

// A mailbox as this program writes it: quoted From lines, each message
// closed by an empty line.
const QByteArray kMailbox =
    "From alice@example.org Mon Mar  2 10:00:00 2026\r\n"
    "From: Alice <alice@example.org>\r\nSubject: Beta\r\nDate: Mon, 2 Mar 2026 10:00:00 +0000\r\n\r\n"
    "first body\r\n>From the start\r\n"
    "\r\n"
    "From bob@example.org Tue Mar  3 10:00:00 2026\r\n"
    "From: Bob <bob@example.org>\r\nSubject: Alpha\r\nDate: Tue, 3 Mar 2026 10:00:00 +0000\r\n\r\n"
    "second body\r\n"
    "\r\n";

TEST_F(CliTest, MailboxRoundTripThroughTheStore)
{
    const QString in = FFolder + S("/in.mbox");
    const QString out = FFolder + S("/out.mbox");
    WriteTestFile(in, kMailbox);
    RunOk(Args({S("create-folder"), S("Inbox"), S("Archive")}));
    EXPECT_TRUE(RunOk(Args({S("import"), S("Inbox/Archive"), in})).contains("imported 2 messages"));

    // Sorted by subject: Alpha before Beta; by date inverted: Bob's (later) first too.
    const QJsonArray bySubject = ListJson(RunOk(Args({S("list"), S("Inbox/Archive"), S("--json")})));
    ASSERT_EQ(bySubject.size(), 2);
    EXPECT_EQ(bySubject[0].toObject()[S("subject")].toString(), S("Alpha"));
    EXPECT_TRUE(bySubject[0].toObject()[S("unread")].toBool());
    const QJsonArray byDate = ListJson(RunOk(Args({S("list"), S("Inbox/Archive"), S("--sort"), S("date"), S("--json")})));
    EXPECT_EQ(byDate[0].toObject()[S("subject")].toString(), S("Beta"));

    // Sorted by date, the export writes the file that was imported, byte for byte.
    RunOk(Args({S("export"), S("Inbox/Archive"), out, S("--sort"), S("date")}));
    EXPECT_EQ(ReadTestFile(out).size(), kMailbox.size());
    EXPECT_EQ(ReadTestFile(out), kMailbox);
}

TEST_F(CliTest, ShowSaveMarkCopyMoveAndDelete)
{
    const QString in = FFolder + S("/in.mbox");
    WriteTestFile(in, kMailbox);
    RunOk(Args({S("import"), S("Inbox"), in}));
    const QJsonArray list = ListJson(RunOk(Args({S("list"), S("Inbox"), S("--json")})));
    const QString alpha = QString::number(list[0].toObject()[S("id")].toInt());
    const QString beta = QString::number(list[1].toObject()[S("id")].toInt());

    const QByteArray shown = RunOk(Args({S("show"), S("Inbox"), beta, S("--raw")}));
    EXPECT_TRUE(shown.contains("Subject: Beta\n"));
    EXPECT_TRUE(shown.contains("first body"));
    EXPECT_TRUE(shown.contains("\r\nFrom the start\r\n"));   // the raw source, unquoted

    const QString saved = QString::fromUtf8(RunOk(Args({S("save"), S("Inbox"), alpha, S("--dir"), FFolder})).trimmed());
    EXPECT_TRUE(saved.endsWith(S("Alpha") + alpha + S(".eml")));
    EXPECT_TRUE(ReadTestFile(saved).contains("second body"));

    RunOk(Args({S("mark-read"), S("Inbox"), S("all")}));
    for (const QJsonValue& row : ListJson(RunOk(Args({S("list"), S("Inbox"), S("--json")}))))
        EXPECT_FALSE(row.toObject()[S("unread")].toBool());
    RunOk(Args({S("mark-unread"), S("Inbox"), alpha}));

    RunOk(Args({S("copy"), S("Inbox"), S("Drafts"), alpha}));
    RunOk(Args({S("move"), S("Inbox"), S("Sent Items"), beta}));
    EXPECT_EQ(ListJson(RunOk(Args({S("list"), S("Drafts"), S("--json")}))).size(), 1);
    EXPECT_EQ(ListJson(RunOk(Args({S("list"), S("Sent Items"), S("--json")}))).size(), 1);
    RunOk(Args({S("delete"), S("Inbox"), alpha}));
    EXPECT_EQ(ListJson(RunOk(Args({S("list"), S("Inbox"), S("--json")}))).size(), 0);
    EXPECT_EQ(ListJson(RunOk(Args({S("list"), S("Deleted Items"), S("--json")}))).size(), 1);
}

TEST_F(CliTest, MessageCommandErrorsChangeNothing)
{
    const QString in = FFolder + S("/in.mbox");
    WriteTestFile(in, kMailbox);
    RunOk(Args({S("import"), S("Inbox"), in}));
    const QByteArray before = RunOk(Args({S("list"), S("Inbox"), S("--json")}));
    struct TCase {
        QStringList Arguments;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {Args({S("list"), S("Nowhere")}), 1, "no folder"},
        {Args({S("import"), S("Inbox"), FFolder + S("/missing.mbox")}), 1, "missing.mbox"},
        {Args({S("import"), S("Nowhere"), in}), 1, "no folder"},
        {Args({S("export"), S("Inbox"), FFolder + S("/no/such/dir/out.mbox")}), 1, "out.mbox"},
        {Args({S("show"), S("Inbox"), S("99999")}), 1, "no message 99999"},
        {Args({S("move"), S("Inbox"), S("Drafts"), S("1"), S("99999")}), 1, "no message 99999"},
        {Args({S("show"), S("Inbox"), S("1"), S("--charset"), S("no-such-charset")}), 1, "unknown charset"},
        {Args({S("list"), S("Inbox"), S("--sort"), S("sideways")}), 2, "unknown sort key"},
        {Args({S("mark-read"), S("Inbox")}), 2, "expected a folder and message ids"},
    };
    for (const TCase& c : cases) {
        const TCliResult result = Run(c.Arguments);
        EXPECT_EQ(result.Status, c.Status) << c.Arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.Err.contains(c.Message)) << result.Err.constData();
    }
    EXPECT_EQ(RunOk(Args({S("list"), S("Inbox"), S("--json")})), before);
}

TEST_F(CliTest, BadInputImportsWithoutCrashing)
{
    const QString garbage = FFolder + S("/garbage.mbox");
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>((i * 7919) % 256);
    WriteTestFile(garbage, "From x\n" + bytes + "\n\nFrom y\n" + bytes);
    const TCliResult result = Run(Args({S("import"), S("Inbox"), garbage}));
    EXPECT_EQ(result.Status, 0) << result.Err.constData();
    EXPECT_EQ(ListJson(RunOk(Args({S("list"), S("Inbox"), S("--json")}))).size(), 2);
}

} // namespace

namespace {

// Store and file errors speak the language chosen in the program's
// settings; the command's own words stay English.
TEST_F(CliTest, ErrorsSpeakTheLanguageChosenInTheSettings)
{
    const QString missing = FFolder + S("/missing.eml");
    const struct {
        const char* Name;
        QByteArray Settings;
        const char* Expected;
    } cases[] = {
        {"no choice", QByteArray(), "The file cannot be opened"},
        {"russian", "LanguageFile=russian.ini\n", "Не удаётся открыть файл"},
        {"a missing language file", "LanguageFile=klingon.ini\n", "The file cannot be opened"},
    };
    const QString config = qEnvironmentVariable("VELLUMO_CONFIG");
    for (const auto& row : cases) {
        QFile::remove(config);
        if (!row.Settings.isEmpty())
            WriteTestFile(config, row.Settings);
        const TCliResult result = Run(Args({S("import"), S("Inbox"), missing}));
        EXPECT_EQ(result.Status, 1) << row.Name;
        EXPECT_TRUE(QString::fromUtf8(result.Err).contains(QString::fromUtf8(row.Expected)))
            << row.Name << ": " << result.Err.constData();
    }
    QFile::remove(config);
}

} // namespace
