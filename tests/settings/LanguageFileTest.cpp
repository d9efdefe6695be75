#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "settings/IniDocument.h"
#include "settings/LanguageKeys.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

TEST(ShippedLanguageTest, EnglishAnswersEveryKeyTheProgramAsksFor)
{
    TGlobStrings table;
    table.LoadLanguage(QStringLiteral(VELLUMO_SOURCE_DATA_DIR) + QStringLiteral("/local/english.ini"));
    QStringList missing;
    for (const TLanguageKey& key : RequiredLanguageKeys()) {
        const QString section = QString::fromLatin1(key.Section);
        const QString name = QString::fromLatin1(key.Key);
        bool numbered = false;
        const int number = name.toInt(&numbered);
        QString text;
        if (numbered)
            text = table.TextOr(number, table.SectionIndexOf(section), QString());
        else
            text = table.SectionValue(section, name);
        if (text.trimmed().isEmpty())
            missing.append(section + QLatin1Char('/') + name);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(ShippedLanguageTest, EnglishHasNoDuplicateKeysAndNoUnusedSections)
{
    TGlobStrings table;
    table.LoadLanguage(QStringLiteral(VELLUMO_SOURCE_DATA_DIR) + QStringLiteral("/local/english.ini"));
    QSet<QString> seen;
    QStringList duplicates;
    for (int i = 0; i < table.Count(); ++i) {
        const TIniItem item = table.Entry(i);
        const QString key = table.SectionName(item.EntrySection) + QLatin1Char('/')
                            + (item.EntryNumber != -1 ? QString::number(item.EntryNumber) : item.EntryName.toLower());
        if (seen.contains(key))
            duplicates.append(key);
        seen.insert(key);
    }
    EXPECT_TRUE(duplicates.isEmpty()) << duplicates.join(QStringLiteral(", ")).toStdString();
    QSet<QString> askedSections;
    for (const TLanguageKey& key : RequiredLanguageKeys())
        askedSections.insert(QString::fromLatin1(key.Section));
    for (int s = 0; s < table.SectionCount(); ++s)
        EXPECT_TRUE(askedSections.contains(table.SectionName(s))) << table.SectionName(s).toStdString();
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
