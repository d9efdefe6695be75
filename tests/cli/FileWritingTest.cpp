// Files the command line writes: never the store's own, never half-written,
// never through a link another user planted, never over a file it did not
// choose, and a name for every message.

#include "tests/cli/CliTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class CliFiles : public CliTest
{
protected:
    // Imports one message with the subject (as an encoded word); returns its id.
    QString AddMessage(const QString& subject, const QByteArray& body = "body\r\n")
    {
        const QString file = FFolder + QStringLiteral("/in%1.eml").arg(++FCount);
        WriteTestFile(file, "From: a@example.org\r\nSubject: =?utf-8?B?" + subject.toUtf8().toBase64() +
                                "?=\r\n\r\n" + body);
        RunOk({S("import"), S("Inbox"), file});
        // Ids grow: the new message has the largest.
        qint64 newest = 0;
        for (const QJsonValue& row : QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array())
            newest = std::max<qint64>(newest, row.toObject()[S("id")].toInteger());
        return QString::number(newest);
    }
    [[nodiscard]] QStringList Files(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    int FCount = 0;
};

TEST_F(CliFiles, ExportNeverWritesOverTheStore)
{
    AddMessage(S("Keep"));
    // The store's companions exist while it is open; they are created here
    // so that every name can be tried.
    for (const char* suffix : {"-wal", "-shm"})
        if (!QFile::exists(FStore + S(suffix)))
            WriteTestFile(FStore + S(suffix), QByteArray());
    const QByteArray before = ReadTestFile(FStore);
    const QString link = FFolder + S("/link.mbox");
    const QString hard = FFolder + S("/hard.mbox");
    ASSERT_EQ(::symlink(QFile::encodeName(FStore).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(FStore).constData(), QFile::encodeName(hard).constData()), 0);
    for (const QString& target : {FStore, FStore + S("-wal"), FStore + S("-shm"), link, hard,
                                  FFolder + S("/./store.db")}) {
        const TCliResult result = Run({S("export"), S("Inbox"), target});
        EXPECT_EQ(result.Status, 1) << target.toStdString();
        EXPECT_TRUE(result.Err.contains("message store")) << result.Err.constData();
    }
    EXPECT_EQ(ReadTestFile(FStore), before);
    EXPECT_TRUE(RunOk({S("list"), S("Inbox")}).contains("Keep"));
}

TEST_F(CliFiles, AFailedExportKeepsTheOldFile)
{
    for (int i = 0; i < 4; ++i)
        AddMessage(S("Big"), QByteArray(40000, 'x') + "\r\n");
    const QString out = TTestEnvironment::NewFolder();
    const QString target = out + S("/out.mbox");
    WriteTestFile(target, "old");
    // The file-size limit stands in for a full disk: above what the store's
    // own files need while it is read, below the size of the export.
    const TCliResult result = Run({S("export"), S("Inbox"), target}, {96 * 1024, {}});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("out.mbox")) << result.Err.constData();
    EXPECT_FALSE(result.Out.contains("exported")) << result.Out.constData();
    EXPECT_EQ(ReadTestFile(target), QByteArray("old"));
    EXPECT_EQ(Files(out), QStringList{S("out.mbox")});
}

TEST_F(CliFiles, SaveNeverFollowsALinkAtTheChosenName)
{
    const QString id = AddMessage(S("Alpha"));
    const QString out = TTestEnvironment::NewFolder();
    const QString elsewhere = TTestEnvironment::NewFolder() + S("/planted");
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(),
                        QFile::encodeName(out + S("/Alpha") + id + S(".eml")).constData()), 0);
    const QString saved = QString::fromUtf8(RunOk({S("save"), S("Inbox"), id, S("--dir"), out}).trimmed());
    EXPECT_EQ(saved, out + S("/Alpha") + id + S("01.eml"));
    EXPECT_TRUE(ReadTestFile(saved).contains("Subject: =?utf-8?B?"));
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
}

TEST_F(CliFiles, SaveFailsClearlyWhenEveryNameIsTaken)
{
    const QString id = AddMessage(S("Full"));
    const QString out = TTestEnvironment::NewFolder();
    const QString base = out + S("/Full") + id;
    WriteTestFile(base + S(".eml"), "mine");
    for (int i = 1; i <= 999; ++i)
        WriteTestFile(base + QStringLiteral("%1.eml").arg(i, 2, 10, QLatin1Char('0')), "mine");
    const TCliResult result = Run({S("save"), S("Inbox"), id, S("--dir"), out});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Err.contains("no free file name")) << result.Err.constData();
    EXPECT_TRUE(result.Out.isEmpty()) << result.Out.constData();
    EXPECT_EQ(ReadTestFile(base + S("999.eml")), QByteArray("mine"));
    EXPECT_EQ(Files(out).size(), 1000);
}

TEST_F(CliFiles, SavePrintsOnlyWhatItWrote)
{
    const QString id = AddMessage(S("Nowhere"));
    const TCliResult result = Run({S("save"), S("Inbox"), id, S("--dir"), FFolder + S("/no/such/dir")});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(result.Out.isEmpty()) << result.Out.constData();
    EXPECT_TRUE(result.Err.contains("no/such/dir")) << result.Err.constData();
}

TEST_F(CliFiles, EveryMessageCanBeSavedWhateverTheLengthOfItsSubject)
{
    struct TCase {
        const char* Name;
        QString Subject;
    };
    const TCase cases[] = {
        {"Cjk", QString(90, QChar(0x4E9C))},                      // 270 bytes of UTF-8
        {"Latin", QString(300, QLatin1Char('a'))},
        {"Emoji", QString::fromUtf16(u"\U0001F600").repeated(70)},   // surrogate pairs, 280 bytes
        {"Accented", QString(130, QChar(0x00E9))},                 // 260 bytes
    };
    for (const TCase& c : cases) {
        const QString id = AddMessage(c.Subject);
        const QString out = TTestEnvironment::NewFolder();
        for (const bool text : {false, true}) {
            QStringList arguments{S("save"), S("Inbox"), id, S("--dir"), out};
            if (text)
                arguments << S("--text");
            const TCliResult result = Run(arguments);
            ASSERT_EQ(result.Status, 0) << c.Name << ": " << result.Err.constData();
            const QString name = QFileInfo(QString::fromUtf8(result.Out.trimmed())).fileName();
            EXPECT_LE(QFile::encodeName(name).size(), 255) << c.Name;
            EXPECT_TRUE(name.endsWith(id + (text ? S(".txt") : S(".eml")))) << c.Name << ": " << name.toStdString();
            EXPECT_TRUE(c.Subject.startsWith(name.left(10))) << c.Name;
        }
        // A second save of the same message numbers the shortened name.
        const TCliResult again = Run({S("save"), S("Inbox"), id, S("--dir"), out});
        ASSERT_EQ(again.Status, 0) << c.Name << ": " << again.Err.constData();
        EXPECT_LE(QFile::encodeName(QFileInfo(QString::fromUtf8(again.Out.trimmed())).fileName()).size(), 255);
    }
}

} // namespace
