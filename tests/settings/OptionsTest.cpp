#include "settings/AdSamples.h"
#include "settings/AppPaths.h"
#include "settings/CharsetSwitches.h"
#include "settings/GlobStrings.h"
#include "settings/History.h"
#include "settings/IniDocument.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

namespace {

class OptionsTest : public ::testing::Test
{
protected:
    TSettingsSandbox FSandbox;
    TCapturedBoxes FBoxes;

    void WriteSettings(const QByteArray& text) { WriteTestFile(FSandbox.ConfigPath(), text); }
    [[nodiscard]] std::optional<QString> OnDisk(const QString& section, const QString& key) const
    {
        return TIniDocument::ReadFile(FSandbox.ConfigPath())->Read(section, key);
    }
};

} // namespace

TEST_F(OptionsTest, FirstRunCreatesTheOptionsFolderAndRemembersIt)
{
    TOptions options;
    const QString expected = FSandbox.UserDataFolder() + QStringLiteral("/Vellumo/");
    EXPECT_EQ(options.OptionsPath(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(OnDisk(QString(), QStringLiteral("OptionsPath")), FSandbox.UserDataFolder() + QStringLiteral("/Vellumo"));
    EXPECT_EQ(OnDisk(QString(), QStringLiteral("LanguageFile")), QStringLiteral("english.ini"));
    EXPECT_EQ(BaseOptions(), &options);
    EXPECT_EQ(Options(), &options);
    EXPECT_EQ(&Lang(), &options.Language());
    EXPECT_TRUE(FBoxes.Texts.isEmpty()) << FBoxes.Texts.join(QLatin1Char('\n')).toStdString();
}

TEST_F(OptionsTest, AStoredOptionsFolderThatCannotBeCreatedFallsBackToTheDefault)
{
    WriteTestFile(FSandbox.Root() + QStringLiteral("/blocker"), "x");
    WriteSettings("OptionsPath=" + QFile::encodeName(FSandbox.Root()) + "/blocker/data\n");
    TOptions options;
    EXPECT_EQ(options.OptionsPath(), FSandbox.UserDataFolder() + QStringLiteral("/Vellumo/"));
}

TEST_F(OptionsTest, DefaultsWhenNothingIsStoredAndTheirTextForm)
{
    {
        TOptions options;
        EXPECT_FALSE(options.WholeWord());
        EXPECT_TRUE(options.FindDown());
        EXPECT_EQ(options.MessageExt(), QStringLiteral("eml;msg"));
        EXPECT_EQ(options.AdvertismentLevel(), 90);
        EXPECT_TRUE(options.ShowPreview());
        options.SetWholeWord(true);
        options.SaveSettings(&options);
    }
    const std::map<const char*, const char*> expected = {
        {"WholeWord", "True"},         {"MatchCase", "False"},         {"FindDown", "True"},
        {"ShowHeader", "False"},       {"AutoRus", "False"},           {"AutoRusHeader", "False"},
        {"MessageExt", "eml;msg"},     {"DeleteDoubleReturn", "True"}, {"MarkQuote", "True"},
        {"AdvertismentFilter", "True"}, {"AdvertismentLevel", "90"},   {"GreetingFilter", "True"},
        {"ShowPreview", "True"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(OnDisk(QStringLiteral("Options"), QString::fromLatin1(key)), QString::fromLatin1(value)) << key;
    EXPECT_EQ(TIniFileStore(FSandbox.ConfigPath()).KeyNames(QStringLiteral("Options")).size(), 13);
}

struct TLevelCase
{
    const char* Name;
    const char* Stored;
    int Expected;
};

class AdvertismentLevelTest : public OptionsTest, public ::testing::WithParamInterface<TLevelCase>
{
};

TEST_P(AdvertismentLevelTest, TheSetterRefusesLevelsOutside11To100)
{
    WriteSettings(QByteArrayLiteral("[Options]\nAdvertismentLevel=") + GetParam().Stored + '\n');
    TOptions options;
    EXPECT_EQ(options.AdvertismentLevel(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdvertismentLevelTest,
                         ::testing::Values(TLevelCase{"Level10", "10", 90}, TLevelCase{"Level101", "101", 90},
                                           TLevelCase{"Level11", "11", 11}, TLevelCase{"Level100", "100", 100},
                                           TLevelCase{"NotANumber", "x", 90}),
                         TCaseName());

TEST_F(OptionsTest, StoredValuesOverrideTheDefaults)
{
    WriteSettings(QByteArrayLiteral("[Options]\nMessageExt=\nShowHeader=TRUE\nAutoRus=true\nFindDown=no\n"));
    TOptions options;
    EXPECT_EQ(options.MessageExt(), QStringLiteral("eml;msg")) << "an empty value stores the default";
    EXPECT_TRUE(options.ShowHeader());
    EXPECT_TRUE(AutoRusEnabled()) << "the option is the process-wide switch";
    EXPECT_TRUE(options.FindDown()) << "a word that names no value gives the declared default";
    options.SetAutoRus(false);
}

TEST_F(OptionsTest, ChangesThatWindowsFollowAreAnnounced)
{
    TOptions options;
    QList<bool> header;
    QList<bool> preview;
    QObject::connect(&options, &TOptions::ShowHeaderChanged, [&](bool on) { header.append(on); });
    QObject::connect(&options, &TOptions::ShowPreviewChanged, [&](bool on) { preview.append(on); });
    options.SetShowHeader(true);
    options.SetShowHeader(true);
    options.SetShowPreview(false);
    EXPECT_EQ(header, QList<bool>{true});
    EXPECT_EQ(preview, QList<bool>{false});
}

TEST_F(OptionsTest, ADamagedSettingsFileGivesDefaultsOneReportAndIsKept)
{
    const QByteArray damaged = QByteArrayLiteral("[Options]\nWholeWord=True\nAdvertismentLevel=5");
    WriteSettings(damaged + QByteArray("\0garbage", 8));
    {
        TOptions options;
        EXPECT_FALSE(options.WholeWord());
        ASSERT_EQ(FBoxes.Texts.size(), 1) << FBoxes.Texts.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(FBoxes.Texts[0].contains(FSandbox.ConfigPath()));
        options.LoadSettings(&options);
        EXPECT_EQ(FBoxes.Texts.size(), 1) << "reported once per run";
        EXPECT_TRUE(ReadTestFile(FSandbox.ConfigPath()).startsWith(damaged)) << "start-up writes nothing over it";
        options.SaveSettings(&options);
    }
    const QStringList copies = DamagedCopies(FSandbox.ConfigPath());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(ReadTestFile(copies[0]).startsWith(damaged));
    EXPECT_EQ(OnDisk(QStringLiteral("Options"), QStringLiteral("WholeWord")), QStringLiteral("False"));
    EXPECT_EQ(OnDisk(QString(), QStringLiteral("LanguageFile")), QStringLiteral("english.ini"))
        << "the top values written meanwhile go with the save";
}

// One line typed by hand that is no setting costs nothing: the options and
// the history load, one report names the file, and the save keeps them all.
TEST_F(OptionsTest, AStrayLineInTheSettingsFileIsReportedOnceAndLosesNothing)
{
    WriteSettings("LanguageFile=english.ini\n[Options]\nWholeWord=True\nmy note\nAdvertismentLevel=40\n"
                  "[History]\nFind0=needle\n");
    {
        TOptions options;
        EXPECT_TRUE(options.WholeWord());
        EXPECT_EQ(options.AdvertismentLevel(), 40);
        options.History().SelectHistory(QStringLiteral("Find"), QString());
        EXPECT_EQ(options.History().Get(0), QStringLiteral("needle"));
        options.SaveSettings(&options);
        ASSERT_EQ(FBoxes.Texts.size(), 1) << FBoxes.Texts.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(FBoxes.Texts[0].contains(FSandbox.ConfigPath()));
    }
    EXPECT_EQ(OnDisk(QStringLiteral("Options"), QStringLiteral("WholeWord")), QStringLiteral("True"));
    EXPECT_EQ(OnDisk(QStringLiteral("History"), QStringLiteral("Find0")), QStringLiteral("needle"));
    EXPECT_TRUE(ReadTestFile(FSandbox.ConfigPath()).contains("\nmy note\n"));
    EXPECT_TRUE(DamagedCopies(FSandbox.ConfigPath()).isEmpty());
}

TEST_F(OptionsTest, ASettingsFileThatCannotBeWrittenIsReported)
{
    WriteTestFile(FSandbox.Root() + QStringLiteral("/blocker"), "x");
    const TScopedEnv config("VELLUMO_CONFIG", FSandbox.Root() + QStringLiteral("/blocker/Vellumo.ini"));
    TOptions options;
    FBoxes.Texts.clear();
    options.SaveSettings(&options);
    ASSERT_EQ(FBoxes.Texts.size(), 1);
    EXPECT_TRUE(FBoxes.Texts[0].startsWith(Lang().TextIn(5, QStringLiteral("Error"))));
}

struct TPreviewCase
{
    const char* Name;
    std::optional<qint64> Version6;
    std::optional<qint64> Version5;
    int Expected;
};

class MarkPreviewAsReadTest : public ::testing::TestWithParam<TPreviewCase>
{
};

TEST_P(MarkPreviewAsReadTest, ComesFromVersion6ThenVersion5ThenTen)
{
    const TPreviewCase& c = GetParam();
    const auto source = [&](const QByteArray& key) -> std::optional<qint64> {
        if (key == "Outlook Express\\6.0\\mail\\MarkPreviewAsRead")
            return c.Version6;
        if (key == "Outlook Express\\5.0\\mail\\MarkPreviewAsRead")
            return c.Version5;
        return std::nullopt;
    };
    EXPECT_EQ(TOptions::ReadMarkPreviewAsRead(source), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkPreviewAsReadTest,
    ::testing::Values(TPreviewCase{"Version6", 2500, 700, 2500}, TPreviewCase{"OnlyVersion5", std::nullopt, 700, 700},
                      TPreviewCase{"Neither", std::nullopt, std::nullopt, 10},
                      TPreviewCase{"Version6MinusOneMeansUnset", -1, 700, 700},
                      TPreviewCase{"NotA32BitValue", 1LL << 40, std::nullopt, 10},
                      TPreviewCase{"Zero", 0, 700, 0}),
    TCaseName());

TEST_F(OptionsTest, MarkPreviewAsReadComesFromTheInstalledSource)
{
    const auto previous = TOptions::SetMarkPreviewAsReadSource(
        [](const QByteArray& key) -> std::optional<qint64> { return key.contains("5.0") ? std::optional<qint64>(1500) : std::nullopt; });
    TOptions options;
    TOptions::SetMarkPreviewAsReadSource(previous);
    EXPECT_EQ(options.MarkPreviewAsRead(), 1500);
}

TEST_F(OptionsTest, AdSamplesAreCopiedIntoTheOptionsFolderOnFirstRun)
{
    WriteTestFile(FSandbox.DataFolder() + QStringLiteral("/atcdict.txt"), QByteArrayLiteral("  buy now \r\n\r\nFree offer\r\n"));
    {
        TOptions options;
        EXPECT_EQ(options.AdSamples().Samples(), (QStringList{QStringLiteral("BUY NOW"), QStringLiteral("FREE OFFER")}));
        const QByteArray copied = ReadTestFile(options.AdSamplesPath());
        EXPECT_TRUE(copied.startsWith("\xff\xfe")) << "saved as UTF-16 with a byte-order mark";
        EXPECT_TRUE(options.AdSamples().AddAdSample(QStringLiteral("  Скидки "), options.AdSamplesPath()));
        EXPECT_FALSE(options.AdSamples().AddAdSample(QStringLiteral("скидки"), options.AdSamplesPath()));
        EXPECT_FALSE(options.AdSamples().AddAdSample(QStringLiteral("   "), options.AdSamplesPath()));
        EXPECT_EQ(ReadTestFile(options.OptionsPath() + QStringLiteral("atcdict.~txt")), copied);
    }
    WriteTestFile(FSandbox.DataFolder() + QStringLiteral("/atcdict.txt"), QByteArrayLiteral("ignored now\n"));
    TOptions again;
    EXPECT_EQ(again.AdSamples().Samples(),
              (QStringList{QStringLiteral("BUY NOW"), QStringLiteral("FREE OFFER"), QStringLiteral("СКИДКИ")}));
}

TEST_F(OptionsTest, TemporaryFilesGoAtTheEndLastAddedFirst)
{
    QString first;
    QString folder;
    {
        TOptions options;
        folder = options.TempFolder();
        ASSERT_FALSE(folder.isEmpty());
        EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        first = folder + QStringLiteral("/vellumo1.eml");
        WriteTestFile(first, "x");
        options.AddTempFile(first);
        options.AddTempFile(first);
        options.AddTempFile(QString());
        EXPECT_EQ(options.TempFiles(), QStringList{first});
        EXPECT_EQ(options.MailerName(), QStringLiteral("Quorvan Mailer (v %1)").arg(ProgramVersion()));
    }
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(BaseOptions(), nullptr);
}

// The shipped samples hold Russian mailing-list footers beside the English
// ones; the file's byte-order mark keeps them intact in any system code page.
TEST(ShippedAdSamples, RussianAndEnglishSamplesLoadIntact)
{
    TAdSamples samples;
    samples.LoadAdSamples(QStringLiteral(VELLUMO_SOURCE_DATA_DIR "/atcdict.txt"));
    const QStringList loaded = samples.Samples();
    for (const char* expected : {"SPONSORED BY THE WEEKLY DEALS NEWSLETTER", "РАССЫЛКА САЙТА WWW.RASSYLKA.INVALID"})
        EXPECT_TRUE(loaded.contains(QString::fromUtf8(expected))) << expected;
}
