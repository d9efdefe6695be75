// Text the command line prints: one line end throughout, and nothing from a
// message that a terminal would obey (line breaks that forge rows, escape
// sequences, bidirectional overrides); machine output stays exact.

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

class CliText : public CliTest
{
protected:
    // Imports the message; returns its id.
    QString Add(const QByteArray& source)
    {
        const QString file = FFolder + QStringLiteral("/m%1.eml").arg(++FCount);
        WriteTestFile(file, source);
        RunOk({S("import"), S("Inbox"), file});
        qint64 newest = 0;
        for (const QJsonValue& row : QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array())
            newest = std::max<qint64>(newest, row.toObject()[S("id")].toInteger());
        return QString::number(newest);
    }

    int FCount = 0;
};

bool HoldsTerminalControls(const QString& text, bool multiline)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && !(multiline && (u == '\n' || u == '\t'))) || (u >= 0x7F && u <= 0x9F) ||
            (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F)
            return true;
    }
    return false;
}

TEST_F(CliText, HeadersCannotForgeRowsOrDriveTheTerminal)
{
    struct TCase {
        const char* Name;
        QByteArray Subject;   // as the header writes it
        QString Decoded;      // what --json must give back exactly
    };
    const TCase cases[] = {
        {"LineFeed", "=?utf-8?Q?first=0A999_=E2=80=94_forged_row?=", QString::fromUtf16(u"first\n999 \u2014 forged row")},
        {"ClearScreen", "=?utf-8?Q?=1B[2Jcleared?=", QStringLiteral("\x1B[2Jcleared")},
        {"C1Control", "=?utf-8?Q?a=C2=9Bb?=", QString::fromUtf16(u"a\u009Bb")},
        {"BidiOverride", "=?utf-8?Q?invoice=E2=80=AEfdp.exe?=", QString::fromUtf16(u"invoice\u202Efdp.exe")},
    };
    for (const TCase& c : cases) {
        const QString id = Add("From: Eve <eve@example.org>\r\nSubject: " + c.Subject + "\r\n\r\nbody\r\n");
        const QString shown = QString::fromUtf8(RunOk({S("show"), S("Inbox"), id}));
        EXPECT_FALSE(HoldsTerminalControls(shown, true)) << c.Name;
        EXPECT_TRUE(shown.contains(QChar(0xFFFD))) << c.Name;
    }
    const QString listed = QString::fromUtf8(RunOk({S("list"), S("Inbox")}));
    EXPECT_EQ(listed.count(QLatin1Char('\n')), 4) << listed.toStdString();
    EXPECT_FALSE(HoldsTerminalControls(listed, true));
    QStringList subjects;
    for (const QJsonValue& row : QJsonDocument::fromJson(RunOk({S("list"), S("Inbox"), S("--json")})).array())
        subjects << row.toObject()[S("subject")].toString();
    for (const TCase& c : cases)
        EXPECT_TRUE(subjects.contains(c.Decoded)) << c.Name;
}

// Byte 0x8D, which code page 1252 leaves undefined, reads as the C1 control U+008D.
TEST_F(CliText, FolderNamesAreShownSafely)
{
    const TCliRunOptions cp1252{-1, {{S("VELLUMO_CODEPAGE"), S("1252")}}};
    ASSERT_EQ(Run({S("create-folder"), S("Inbox"), QString::fromUtf16(u"ab\u008Dcd")}, cp1252).Status, 0);
    const TCliResult tree = Run({S("folders")}, cp1252);
    EXPECT_FALSE(HoldsTerminalControls(QString::fromUtf8(tree.Out), true)) << tree.Out.constData();
    bool found = false;
    for (const QJsonValue& row : QJsonDocument::fromJson(Run({S("folders"), S("--json")}, cp1252).Out).array())
        found = found || row.toObject()[S("name")].toString() == QString::fromUtf16(u"ab\u008Dcd");
    EXPECT_TRUE(found);
}

TEST_F(CliText, ShowAndTextFilesUseOneLineEnd)
{
    const QString id = Add("From: a@example.org\r\nSubject: lines\r\n\r\nfirst\r\nsecond\rthird\nfourth\r\n");
    const QByteArray shown = RunOk({S("show"), S("Inbox"), id});
    EXPECT_FALSE(shown.contains('\r'));
    EXPECT_TRUE(shown.contains("first\nsecond\nthird\nfourth\n")) << shown.constData();
    const QString out = TTestEnvironment::NewFolder();
    const QString saved = QString::fromUtf8(RunOk({S("save"), S("Inbox"), id, S("--text"), S("--dir"), out}).trimmed());
    const QByteArray text = ReadTestFile(saved);
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(text.contains("Subject: lines\n")) << text.constData();
    EXPECT_TRUE(text.contains("first\nsecond\nthird\nfourth\n")) << text.constData();
    // The raw source stays exactly as stored.
    EXPECT_TRUE(RunOk({S("show"), S("Inbox"), id, S("--raw")}).contains("first\r\nsecond\rthird\nfourth\r\n"));
}

} // namespace
