#include "settings/GlobStrings.h"
#include "settings/IniErrors.h"
#include "settings/UiHooks.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// A menu item or action as the default menu hooks see it: a named object
// with a "text" caption.
class TCaptioned : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER Text)
public:
    TCaptioned(const char* name, QObject* parent, const char* text = "")
        : QObject(parent)
        , Text(QString::fromLatin1(text))
    {
        setObjectName(QString::fromLatin1(name));
    }
    QString Text;
};

namespace {

QString WriteLanguageFile(const QByteArray& text)
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/lang.ini");
    WriteTestFile(path, text);
    return path;
}

const QByteArray kLanguage = QByteArrayLiteral(
    ";CodePage=65001\n"
    "[Program]\nName=Testprogramm\n"
    "[Common]\nOk=Gut\nCancel=Abbrechen\nNone=Keins\n"
    "[Error]\n1=Datei kann nicht geöffnet werden:/n%s\n"
    "[Hint]\nShowTree=Baum zeigen\n"
    "[Menu]\nmfile=Datei\nEditCopy=Kopieren\n");

} // namespace

TEST(GlobStringsTest, LooksTextsUpBySectionAndKey)
{
    TGlobStrings table;
    table.LoadLanguage(WriteLanguageFile(kLanguage));
    EXPECT_EQ(table.DisplayName(), QStringLiteral("Testprogramm"));
    EXPECT_EQ(table.OkText(), QStringLiteral("Gut"));
    EXPECT_EQ(table.CancelText(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(table.NoneText(), QStringLiteral("Keins"));
    EXPECT_EQ(table.HintText(QStringLiteral("showtree")), QStringLiteral("Baum zeigen"));
    EXPECT_EQ(table.HintText(QStringLiteral("Unknown")), QString());
    EXPECT_EQ(table.TextIn(1, QStringLiteral("Error")), QStringLiteral("Datei kann nicht geöffnet werden:/n%s"));
    EXPECT_EQ(table.FormatTextOf(1, table.ErrorSection(), {QStringLiteral("/tmp/a")}),
              QStringLiteral("Datei kann nicht geöffnet werden:\r\n/tmp/a"));
    EXPECT_EQ(table.TextOf(-1, table.ErrorSection()), QString());
    EXPECT_THROW((void)table.TextIn(99, QStringLiteral("Error")), EStringListError);
    EXPECT_EQ(table.TextOr(99, table.ErrorSection(), QStringLiteral("fallback")), QStringLiteral("fallback"));
    EXPECT_EQ(table.SectionIndex(TLangSection::Hint), table.SectionIndexOf(QStringLiteral("Hint")));
}

// A background thread that looks an error text up while the main thread
// switches languages gets the text of one language or the other, never the
// entry of another section.
TEST(GlobStringsTest, ALanguageSwitchIsOneStepForReaders)
{
    // Many sections, so that finding the known ones takes a while; "Error"
    // has another index in each file.
    QByteArray filler;
    for (int n = 0; n < 300; ++n)
        filler += "[Other" + QByteArray::number(n) + "]\n1=other\n";
    const QString first = WriteLanguageFile("[Error]\n1=first error\n" + filler);
    const QString second = WriteLanguageFile(filler + "[Error]\n1=second error\n");
    TGlobStrings table;
    table.LoadLanguage(first);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!stop) {
            if (!table.TextOf(1, table.ErrorSection()).endsWith(QStringLiteral("error")))
                ++wrong;
            ++reads;
        }
    });
    for (int round = 0; round < 100 && wrong == 0; ++round)
        table.LoadLanguage(round % 2 == 0 ? second : first);
    stop = true;
    reader.join();
    EXPECT_EQ(wrong, 0) << "of " << reads << " lookups";
}

// Whatever a language file lacks, the whole file, a section or a key, the
// built-in English text answers; menu captions excepted, which the windows
// give themselves.
TEST(GlobStringsTest, BuiltInEnglishFillsInForMissingFilesSectionsAndKeys)
{
    const QString created = QStringLiteral("The file cannot be created:");
    const QString outOfMemory = QStringLiteral("The system is out of memory or resources.");
    TGlobStrings table;
    EXPECT_EQ(table.TextIn(2, QStringLiteral("Error")), created);
    EXPECT_EQ(table.TextOr(0, table.ShellErrorSection(), QString()), outOfMemory);
    EXPECT_THROW(table.LoadLanguage(QStringLiteral("/nonexistent/lang.ini")), EIniFileError);
    EXPECT_EQ(table.TextOr(2, table.ErrorSection(), QString()), created);

    table.LoadLanguage(WriteLanguageFile(kLanguage));
    EXPECT_EQ(table.TextIn(1, QStringLiteral("Error")), QStringLiteral("Datei kann nicht geöffnet werden:/n%s"));
    EXPECT_EQ(table.TextIn(2, QStringLiteral("Error")), created);
    EXPECT_EQ(table.TextOr(0, table.ShellErrorSection(), QString()), outOfMemory);
    EXPECT_EQ(table.CommonText(QStringLiteral("Yes")), QStringLiteral("&Yes"));
    EXPECT_EQ(table.OkText(), QStringLiteral("Gut"));
    EXPECT_EQ(table.SectionValue(QStringLiteral("Menu"), QStringLiteral("FileMenu")), QString());
}

TEST(GlobStringsTest, AFileWithoutANameKeepsTheBuiltInName)
{
    TGlobStrings table;
    table.LoadLanguage(WriteLanguageFile(QByteArrayLiteral("[Common]\nOk=OK\n")));
    EXPECT_EQ(table.DisplayName(), QStringLiteral("Vellumo"));
}

TEST(GlobStringsTest, AFailedLoadKeepsThePreviousTexts)
{
    TGlobStrings table;
    table.LoadLanguage(WriteLanguageFile(kLanguage));
    const QString broken = WriteLanguageFile(QByteArrayLiteral("[Common]\nOk=Bien\nthis line is broken\n"));
    EXPECT_THROW(table.LoadLanguage(broken), EStringListError);
    EXPECT_THROW(table.LoadLanguage(WriteLanguageFile(QByteArrayLiteral("Ok=Bien\n"))), EStringListError);
    EXPECT_THROW(table.LoadLanguage(QStringLiteral("/nonexistent/lang.ini")), EIniFileError);
    EXPECT_EQ(table.OkText(), QStringLiteral("Gut"));
    EXPECT_EQ(table.DisplayName(), QStringLiteral("Testprogramm"));
}

TEST(GlobStringsTest, MenuCaptionsGoToTheFirstMatchingItemAndEveryMatchingAction)
{
    QObject form;
    QObject menu(&form);
    auto* file = new TCaptioned("MFile", &menu, "File");
    auto* fileOpen = new TCaptioned("mFileOpen", file, "Open");
    auto* editMenu = new TCaptioned("mEdit", &menu, "Edit");
    auto* editCopy = new TCaptioned("mEditCopy", editMenu, "Copy");
    QObject actions(&form);
    actions.setObjectName(QStringLiteral("ActionList1"));
    auto* copyAction = new TCaptioned("AEditCopy", &actions, "Copy");
    auto* copyAll = new TCaptioned("AEditCopyAll", &actions, "Copy all");

    TGlobStrings table;
    table.LoadLanguage(WriteLanguageFile(kLanguage));
    EXPECT_TRUE(table.MenusEnabled()) << "the first request only enables captions";
    EXPECT_EQ(file->Text, QStringLiteral("File"));

    table.ApplyMenu(&menu);
    EXPECT_EQ(file->Text, QStringLiteral("Datei"));
    EXPECT_EQ(fileOpen->Text, QStringLiteral("Open")) << "only the first item containing the key";
    EXPECT_EQ(editCopy->Text, QStringLiteral("Kopieren"));
    EXPECT_EQ(copyAction->Text, QStringLiteral("Kopieren"));
    EXPECT_EQ(copyAll->Text, QStringLiteral("Kopieren")) << "every action containing the key";
}

TEST(GlobStringsTest, SharedMenusComeFromTheInstalledHooks)
{
    QObject popup;
    auto* item = new TCaptioned("pmEditCopy", &popup);
    TCaptioned shared("aSharedEditCopy", nullptr);
    TMenuHooks hooks;
    hooks.SharedMenus = [&] { return QList<QObject*>{&popup}; };
    hooks.SharedActions = [&] { return QList<QObject*>{&shared}; };
    const TMenuHooks previous = SetMenuHooks(hooks);

    TGlobStrings table;
    table.ApplySharedMenus(); // nothing loaded: nothing happens
    table.LoadLanguage(WriteLanguageFile(kLanguage));
    table.ApplySharedMenus();
    SetMenuHooks(previous);
    EXPECT_EQ(item->Text, QStringLiteral("Kopieren"));
    EXPECT_EQ(shared.Text, QStringLiteral("Kopieren"));
}

#include "GlobStringsTest.moc"
