#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "settings/IniDocument.h"
#include "settings/LanguageKeys.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

#include <map>

#include <gtest/gtest.h>

namespace {

const QString kShippedFolder = QStringLiteral(VELLUMO_SOURCE_DATA_DIR "/local");

// The base names ("english", "russian") of the language files that ship.
QStringList ShippedLanguages()
{
    QStringList names;
    for (const QString& file : QDir(kShippedFolder).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name))
        names << file.chopped(4);
    return names;
}

std::unique_ptr<TGlobStrings> LoadShipped(const QString& language)
{
    auto table = std::make_unique<TGlobStrings>();
    table->LoadLanguage(kShippedFolder + QLatin1Char('/') + language + QStringLiteral(".ini"));
    return table;
}

// The text of a key as the program asks for it: numbered keys by number.
QString LookUp(TGlobStrings& table, const QString& section, const QString& name)
{
    bool numbered = false;
    const int number = name.toInt(&numbered);
    return numbered ? table.TextOr(number, table.SectionIndexOf(section), QString()) : table.SectionValue(section, name);
}

// The format placeholders of a text: printf ones (%s, %d, %%) in their
// order, which the program fills by position; numbered ones (%1) sorted,
// since a translation may reorder them.
QStringList Placeholders(const QString& text)
{
    static const QRegularExpression printf(QStringLiteral("%[-+ #0]*\\d*(?:\\.\\d+)?[sdiuxXc%]"));
    static const QRegularExpression numbered(QStringLiteral("%\\d+"));
    QStringList found;
    QString rest = text;
    for (const QRegularExpressionMatch& match : printf.globalMatch(text)) {
        found << match.captured();
        rest.replace(match.captured(), QString());
    }
    QStringList positional;
    for (const QRegularExpressionMatch& match : numbered.globalMatch(rest))
        positional << match.captured();
    positional.sort();
    return found + positional;
}

// The accelerator of a caption: the character after a single "&", in lower case.
QChar Accelerator(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toLower();
        ++i;
    }
    return QChar();
}

// Captions shown together: a menu, a dialog's or a message box's buttons.
struct TCaptionGroup {
    const char* Name;
    const char* Section;
    std::vector<const char*> Keys;
};

const TCaptionGroup kCaptionGroups[] = {
    {"menu bar", "Menu",
     {"FileMenu", "NewMenu", "EditMenu", "ViewMenu", "MessageMenu", "FavoritesMenu", "OptionsMenu", "WindowMenu",
      "HelpMenu"}},
    {"file menu", "Menu",
     {"mNewBrowser", "mSave", "mCreateFolder", "mCompactFolder", "mCompactAll", "MExportToMBox", "mImportFromMbox",
      "mSaveWindowsAndExit", "mExit"}},
    {"edit menu", "Menu",
     {"AEditUndo", "AEditRedo", "AEditCut", "AEditCopy", "AEditPaste", "AEditDelete", "AEditSelectAll", "AEditFind",
      "AEditSearchAgain", "ACopyTo", "AMoveTo"}},
    {"view menu", "Menu",
     {"mColumns", "mMesgSort", "mLayout", "mGoToInbox", "APrevFolder", "ANextFolder", "mReread"}},
    {"message menu", "Menu",
     {"ASaveAsMesg", "APrevMesg", "aNextMesg", "ADeleteMesg", "aMarkAsUnRead", "aMarkAsRead", "aChangeCharset",
      "aReloadWithoutAdFilter", "aSpellCheck"}},
    {"text toolbar", "Menu", {"APrevMsgButton", "aNextMsgButton"}},
    {"favorites menu", "Menu", {"AAddFavorites", "AOrganiseFavorites"}},
    {"options menu", "Menu", {"mEditorOptions", "mFilter", "MAddFilter", "mFont", "mSpellCheckOptions"}},
    {"help menu", "Menu", {"mHelpAbout", "mHelpWebSite", "mHelpSupport", "mHelpUpdate"}},
    {"message window file menu", "Menu", {"mFileNewExpl", "mOpenFile", "mSaveAs", "mViews"}},
    {"folder pop-up menu", "Menu",
     {"mOpenFolder", "AContextCutFolder", "AContextCopyFolder", "AContextPasteFolder", "AContextDeleteFolder",
      "mCreateFolder3", "AContextRenameFolder"}},
    {"ordered list menu", "Menu",
     {"AListBoxAdd", "AListBoxDel", "AListBoxSave", "AListBoxLoad", "AListBoxMoveUp", "AListBoxMoveDown",
      "AListBoxMakeDef", "AListBoxProperty"}},
    // A message box may show any of its buttons together.
    {"message box buttons", "Common",
     {"Yes", "No", "Ok", "Cancel", "Abord", "Retry", "Ignore", "All", "NoAll", "YesAll", "Help"}},
    {"spelling dialog buttons", "SpellCheck", {"Ignore", "IgnoreAll", "Change", "ChangeAll", "Add", "Cancel"}},
};

std::vector<std::string> ShippedLanguageNames()
{
    std::vector<std::string> names;
    for (const QString& language : ShippedLanguages())
        names.push_back(language.toStdString());
    return names;
}

class ShippedLanguageTest : public ::testing::TestWithParam<std::string>
{
protected:
    std::unique_ptr<TGlobStrings> FTable = LoadShipped(QString::fromStdString(GetParam()));
};

} // namespace

TEST_P(ShippedLanguageTest, AnswersEveryKeyTheProgramAsksFor)
{
    QStringList missing;
    for (const TLanguageKey& key : RequiredLanguageKeys()) {
        const QString section = QString::fromLatin1(key.Section);
        const QString name = QString::fromLatin1(key.Key);
        if (LookUp(*FTable, section, name).trimmed().isEmpty())
            missing.append(section + QLatin1Char('/') + name);
    }
    // The language choice names every shipped language in the current one.
    for (const QString& language : ShippedLanguages()) {
        if (FTable->SectionValue(QStringLiteral("Languages"), language).trimmed().isEmpty())
            missing.append(QStringLiteral("Languages/") + language);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

TEST_P(ShippedLanguageTest, PlaceholdersMatchTheEnglishTexts)
{
    const std::unique_ptr<TGlobStrings> english = LoadShipped(QStringLiteral("english"));
    for (const TLanguageKey& key : RequiredLanguageKeys()) {
        const QString section = QString::fromLatin1(key.Section);
        const QString name = QString::fromLatin1(key.Key);
        const QString text = LookUp(*FTable, section, name);
        EXPECT_EQ(Placeholders(text), Placeholders(LookUp(*english, section, name)))
            << key.Section << "/" << key.Key << ": " << text.toStdString();
    }
}

TEST_P(ShippedLanguageTest, AcceleratorsAreUniqueWithinEachMenu)
{
    for (const TCaptionGroup& group : kCaptionGroups) {
        std::map<QChar, QString> taken;
        for (const char* key : group.Keys) {
            const QString caption = FTable->SectionValue(QString::fromLatin1(group.Section), QString::fromLatin1(key));
            const QChar accelerator = Accelerator(caption);
            if (accelerator.isNull())
                continue;
            const auto [it, added] = taken.emplace(accelerator, caption);
            EXPECT_TRUE(added) << group.Name << ": \"" << caption.toStdString() << "\" and \""
                               << it->second.toStdString() << "\"";
        }
    }
}

TEST_P(ShippedLanguageTest, HasNoDuplicateKeysAndNoUnusedSections)
{
    QSet<QString> seen;
    QStringList duplicates;
    for (int i = 0; i < FTable->Count(); ++i) {
        const TIniItem item = FTable->Entry(i);
        const QString key = FTable->SectionName(item.EntrySection) + QLatin1Char('/')
                            + (item.EntryNumber != -1 ? QString::number(item.EntryNumber) : item.EntryName.toLower());
        if (seen.contains(key))
            duplicates.append(key);
        seen.insert(key);
    }
    EXPECT_TRUE(duplicates.isEmpty()) << duplicates.join(QStringLiteral(", ")).toStdString();
    QSet<QString> askedSections;
    for (const TLanguageKey& key : RequiredLanguageKeys())
        askedSections.insert(QString::fromLatin1(key.Section));
    for (int s = 0; s < FTable->SectionCount(); ++s)
        EXPECT_TRUE(askedSections.contains(FTable->SectionName(s))) << FTable->SectionName(s).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageTest, ::testing::ValuesIn(ShippedLanguageNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(ShippedLanguages, RussianIsReadInTheCodePageItsFirstLineNames)
{
    const std::unique_ptr<TGlobStrings> russian = LoadShipped(QStringLiteral("russian"));
    EXPECT_EQ(russian->CodePage(), 65001);
    EXPECT_EQ(russian->SectionValue(QStringLiteral("Common"), QStringLiteral("Cancel")),
              QString::fromUtf8("\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0"));   // "Отмена"
}

namespace {

class LanguageFileTest : public ::testing::Test
{
protected:
    TSettingsSandbox FSandbox;
    TCapturedBoxes FBoxes;
    QStringList FDialogs;
    QString FChoice;
    TOpenFileDialogHandler FPrevious = SetOpenFileDialogHandler([this](const QString& path) {
        FDialogs.append(path);
        return FChoice;
    });

    ~LanguageFileTest() override { SetOpenFileDialogHandler(FPrevious); }

    void StoreLanguage(const QByteArray& value)
    {
        WriteTestFile(FSandbox.ConfigPath(), "LanguageFile=" + value + "\n");
    }
    [[nodiscard]] std::optional<QString> StoredLanguage() const
    {
        return TIniDocument::ReadFile(FSandbox.ConfigPath())->Read(QString(), QStringLiteral("LanguageFile"));
    }
};

const QByteArray kGerman = QByteArrayLiteral("[Program]\nName=Deutsch\n[Common]\nOk=Gut\n");

} // namespace

TEST_F(LanguageFileTest, ABareStoredNameLoadsFromTheLocalFolder)
{
    StoreLanguage("english.ini");
    TBaseOptions options;
    EXPECT_EQ(options.LanguageFile(), FSandbox.DataFolder() + QStringLiteral("/local/english.ini"));
    EXPECT_EQ(Lang().OkText(), QStringLiteral("OK"));
    EXPECT_TRUE(FDialogs.isEmpty());
}

TEST_F(LanguageFileTest, AStoredRelativePathResolvesAgainstTheProgramFolder)
{
    QDir().mkpath(FSandbox.DataFolder() + QStringLiteral("/extra"));
    WriteTestFile(FSandbox.DataFolder() + QStringLiteral("/extra/german.ini"), kGerman);
    StoreLanguage("extra/german.ini");
    TBaseOptions options;
    EXPECT_EQ(options.LanguageFile(), FSandbox.DataFolder() + QStringLiteral("/extra/german.ini"));
    EXPECT_EQ(ProgramDisplayName(), QStringLiteral("Deutsch"));
    EXPECT_EQ(StoredLanguage(), QStringLiteral("extra/german.ini").prepend(FSandbox.DataFolder() + QLatin1Char('/')));
}

TEST_F(LanguageFileTest, ChoosingAFileStoresABareNameOnlyForTheLocalFolder)
{
    TBaseOptions options;
    const QString elsewhere = TTestEnvironment::NewFolder() + QStringLiteral("/german.ini");
    WriteTestFile(elsewhere, kGerman);
    options.SetLanguage(elsewhere);
    EXPECT_EQ(StoredLanguage(), elsewhere);
    EXPECT_EQ(Lang().OkText(), QStringLiteral("Gut"));

    FSandbox.WriteLanguage(QStringLiteral("german.ini"), kGerman);
    options.SetLanguage(FSandbox.DataFolder() + QStringLiteral("/local/german.ini"));
    EXPECT_EQ(StoredLanguage(), QStringLiteral("german.ini"));
}

TEST_F(LanguageFileTest, AMissingFileIsAskedForAndCancelEndsTheRun)
{
    StoreLanguage("klingon.ini");
    TBaseOptions options;
    EXPECT_EQ(FDialogs, QStringList{FSandbox.DataFolder() + QStringLiteral("/local/klingon.ini")});
    EXPECT_TRUE(options.StopRequested());
    EXPECT_TRUE(options.LanguageFile().isEmpty());
}

TEST_F(LanguageFileTest, AChosenFileThatDoesNotExistEndsTheRunWithTheSystemBox)
{
    StoreLanguage("klingon.ini");
    FChoice = QStringLiteral("/nowhere/else.ini");
    TBaseOptions options;
    EXPECT_TRUE(options.StopRequested());
    EXPECT_EQ(FBoxes.Texts, QStringList{QStringLiteral("Vellumo|File not found:\r\n/nowhere/else.ini")});
}

TEST_F(LanguageFileTest, AChosenExistingFileIsLoadedAndRemembered)
{
    StoreLanguage("klingon.ini");
    FChoice = TTestEnvironment::NewFolder() + QStringLiteral("/german.ini");
    WriteTestFile(FChoice, kGerman);
    TBaseOptions options;
    EXPECT_FALSE(options.StopRequested());
    EXPECT_EQ(options.LanguageFile(), FChoice);
    EXPECT_EQ(StoredLanguage(), FChoice);
    EXPECT_EQ(Lang().OkText(), QStringLiteral("Gut"));
}

TEST_F(LanguageFileTest, SwitchingToABrokenFileKeepsThePreviousTexts)
{
    TBaseOptions options;
    const QString okBefore = Lang().OkText();
    FSandbox.WriteLanguage(QStringLiteral("broken.ini"), QByteArrayLiteral("[Common]\nOk=Kaputt\nnot an ini line\n"));
    options.SetLanguage(QStringLiteral("broken.ini"));
    EXPECT_EQ(Lang().OkText(), okBefore);
    EXPECT_EQ(FBoxes.Texts, QStringList{QStringLiteral("Invalid conversion WideString:\r\nnot an ini line")});
}
