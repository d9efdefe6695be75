#include "settings/AppPaths.h"
#include "settings/IniDocument.h"
#include "settings/IniErrors.h"
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QString NewPath()
{
    return TTestEnvironment::NewFolder() + QStringLiteral("/Vellumo.ini");
}

const QByteArray kSample = QByteArrayLiteral(
    "LanguageFile=english.ini\n"
    "OptionsPath=/home/u/.local/share/Vellumo\n"
    "\n"
    "[Options]\n"
    "WholeWord=False\n"
    "MessageExt=eml;msg\n"
    "\n"
    "[TaskForm\\ManagerForm]\n"
    "Left=10\n"
    "FormsCount=2\n"
    "\n"
    "[TaskForm\\ 0]\n"
    "ClassName=TTriForm\n"
    "\n"
    "[History]\n"
    "Folders0=\xd0\x9f\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0\n");

} // namespace

TEST(SettingsFileTest, KeepsSectionNamesTopValuesAndAwkwardValuesAcrossAWrite)
{
    const QString path = NewPath();
    TIniFileStore store(path);
    store.WriteString(QString(), QStringLiteral("LanguageFile"), QStringLiteral("english.ini"));
    store.WriteString(QStringLiteral("TaskForm\\ 0"), QStringLiteral("ClassName"), QStringLiteral("TTriForm"));
    store.WriteString(QStringLiteral("TaskForm\\10"), QStringLiteral("ClassName"), QStringLiteral("TMEditForm"));
    const QString awkward = QStringLiteral("  two\nlines\r\\end = \u00e9\u4e2d ");
    store.WriteString(QStringLiteral("Options"), QStringLiteral("Text"), awkward);
    store.WriteInteger(QStringLiteral("Options"), QStringLiteral("Number"), -42);
    store.Flush(false);

    const QByteArray bytes = ReadTestFile(path);
    EXPECT_TRUE(bytes.startsWith("LanguageFile=english.ini\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("[TaskForm\\ 0]\nClassName=TTriForm\n"));

    const auto reread = TIniDocument::ReadFile(path);
    EXPECT_TRUE(reread->LoadError().isEmpty());
    EXPECT_EQ(reread->Read(QString(), QStringLiteral("languagefile")), QStringLiteral("english.ini"));
    EXPECT_EQ(reread->Read(QStringLiteral("taskform\\ 0"), QStringLiteral("ClassName")), QStringLiteral("TTriForm"));
    EXPECT_FALSE(reread->Read(QStringLiteral("TaskForm\\0"), QStringLiteral("ClassName")).has_value());
    EXPECT_EQ(reread->Read(QStringLiteral("Options"), QStringLiteral("Text")), awkward);
    EXPECT_EQ(reread->Read(QStringLiteral("Options"), QStringLiteral("Number")), QStringLiteral("-42"));
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList{QStringLiteral("Vellumo.ini")})
        << "no temporary file is left behind";
}

struct TValueCase
{
    const char* Name;
    QByteArray Line;    // as written in the file, after "Key="
    QString Value;      // as read
};

class HandWrittenValue : public ::testing::TestWithParam<TValueCase>
{
};

// A backslash in a value typed by hand stays what it is; only the quoted
// form, which the program writes for values it must escape, has escapes.
TEST_P(HandWrittenValue, ReadsAsWritten)
{
    const QString path = NewPath();
    WriteTestFile(path, "[Options]\nKey=" + GetParam().Line + "\n");
    EXPECT_EQ(TIniDocument::ReadFile(path)->Read(QStringLiteral("Options"), QStringLiteral("Key")), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandWrittenValue,
    ::testing::Values(TValueCase{"PathWithBackslashN", "C:\\new\\table", QStringLiteral("C:\\new\\table")},
                      TValueCase{"DoubleBackslash", "\\\\server\\share", QStringLiteral("\\\\server\\share")},
                      TValueCase{"BackslashRAndZero", "a\\rb\\0c", QStringLiteral("a\\rb\\0c")},
                      TValueCase{"TrailingBackslash", "ends with \\", QStringLiteral("ends with \\")},
                      TValueCase{"LoneQuote", "\"", QStringLiteral("\"")},
                      TValueCase{"QuotedWithEscapes", "\"two\\nlines \\\\ \\q\"",
                                 QStringLiteral("two\nlines \\ \\q")}),
    TCaseName());

TEST(SettingsFileTest, ValuesThatNeedEscapesComeBackUnchanged)
{
    const QString path = NewPath();
    const QStringList values{QStringLiteral("two\nlines"),     QStringLiteral("C:\\new"),
                             QStringLiteral("\"quoted\""),     QStringLiteral("\"half"),
                             QStringLiteral("cr\r"),            QStringLiteral("nul") + QChar(0) + QStringLiteral("x"),
                             QStringLiteral("a\\n\nb\\"),    QStringLiteral("\"\n\"")};
    TIniFileStore store(path);
    for (int i = 0; i < values.size(); ++i)
        store.WriteString(QStringLiteral("Options"), QStringLiteral("V%1").arg(i), values[i]);
    store.Flush(false);
    const auto reread = TIniDocument::ReadFile(path);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(reread->Read(QStringLiteral("Options"), QStringLiteral("V%1").arg(i)), values[i]) << i;
    EXPECT_TRUE(ReadTestFile(path).contains("V1=C:\\new\n")) << "a value without control characters is written as it is";
}

TEST(SettingsFileTest, IntegersReadFromTextWithTheDefaultOnFailure)
{
    TIniFileStore store(NewPath());
    store.WriteString(QStringLiteral("S"), QStringLiteral("Good"), QStringLiteral(" 17 "));
    store.WriteString(QStringLiteral("S"), QStringLiteral("Bad"), QStringLiteral("17x"));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("S"), QStringLiteral("Good"), 5), 17);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("S"), QStringLiteral("Bad"), 5), 5);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("S"), QStringLiteral("Absent"), 5), 5);
}

TEST(SettingsFileTest, StoresOfOneFileShareTheirChanges)
{
    const QString path = NewPath();
    TIniFileStore first(path);
    TIniFileStore second(path);
    first.WriteString(QStringLiteral("Options"), QStringLiteral("A"), QStringLiteral("1"));
    second.WriteString(QStringLiteral("History"), QStringLiteral("B0"), QStringLiteral("x"));
    second.Flush(false);
    const auto onDisk = TIniDocument::ReadFile(path);
    EXPECT_EQ(onDisk->Read(QStringLiteral("Options"), QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(onDisk->Read(QStringLiteral("History"), QStringLiteral("B0")), QStringLiteral("x"));
}

TEST(SettingsFileTest, RegistryKeysBelowTheStoreKeyAreSectionsOfTheSettingsFile)
{
    TSettingsSandbox sandbox;
    TRegistryStore history(QStringLiteral("Software\\Quorvan\\Vellumo\\History"));
    history.WriteString(QString(), QStringLiteral("Folders0"), QStringLiteral("Inbox"));
    history.WriteString(QStringLiteral("Old"), QStringLiteral("A0"), QStringLiteral("x"));
    history.Flush(false);
    TRegistryStore root(kSettingsStoreKey);
    EXPECT_EQ(root.ReadString(QStringLiteral("History"), QStringLiteral("Folders0"), QString()), QStringLiteral("Inbox"));
    EXPECT_EQ(root.ReadString(QStringLiteral("History\\Old"), QStringLiteral("A0"), QString()), QStringLiteral("x"));
    history.EraseSection(QString());
    EXPECT_FALSE(root.ValueExists(QStringLiteral("History\\Old"), QStringLiteral("A0")));
    EXPECT_THROW(TRegistryStore(QStringLiteral("software\\Other")), EIniFileError);
}

struct TBrokenCase
{
    const char* Name;
    QByteArray Bytes;
};

class BrokenSettingsFile : public ::testing::TestWithParam<TBrokenCase>
{
};

// A file that cannot be decoded at all gives the defaults; it is never
// overwritten: a save keeps it first, under a name of its own.
TEST_P(BrokenSettingsFile, GivesDefaultsAndIsKeptBeforeASaveReplacesIt)
{
    const QString path = NewPath();
    WriteTestFile(path, GetParam().Bytes);
    TIniFileStore store(path);
    EXPECT_EQ(store.ReadString(QStringLiteral("Options"), QStringLiteral("WholeWord"), QStringLiteral("default")),
              QStringLiteral("default"));
    const QString error = store.TakeLoadError();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(store.TakeLoadError().isEmpty()) << "reported once";

    store.WriteString(QString(), QStringLiteral("LanguageFile"), QStringLiteral("english.ini"));
    store.Flush(false);
    EXPECT_EQ(ReadTestFile(path), GetParam().Bytes) << "only a save pass replaces a damaged file";

    store.Flush(true);
    const QStringList copies = DamagedCopies(path);
    ASSERT_EQ(copies.size(), 1) << copies.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(ReadTestFile(copies[0]), GetParam().Bytes);
    EXPECT_TRUE(TIniDocument::ReadFile(path)->LoadError().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenSettingsFile,
                         ::testing::Values(TBrokenCase{"BinaryData", QByteArray("[Options]\nA=1\n\0\1\2", 15)},
                                           TBrokenCase{"InvalidUtf8", QByteArrayLiteral("[Options]\nA=\xff\xfe\xc3\n")}),
                         TCaseName());

TEST(SettingsFileTest, EveryDamagedFileIsKeptBesideTheEarlierOnes)
{
    const QString path = NewPath();
    const QByteArray first("first\0", 6);
    const QByteArray second("second\0", 7);
    for (const QByteArray& damaged : {first, second}) {
        WriteTestFile(path, damaged);
        const auto document = TIniDocument::ReadFile(path);
        document->Write(QStringLiteral("Options"), QStringLiteral("A"), QStringLiteral("1"));
        document->Flush(true);
    }
    const QStringList copies = DamagedCopies(path);
    ASSERT_EQ(copies.size(), 2);
    QList<QByteArray> kept;
    for (const QString& copy : copies)
        kept.append(ReadTestFile(copy));
    EXPECT_TRUE(kept.contains(first));
    EXPECT_TRUE(kept.contains(second));
}

struct TStrayLineCase
{
    const char* Name;
    QByteArray Line;
};

class StrayLine : public ::testing::TestWithParam<TStrayLineCase>
{
};

// A line typed by hand that is no setting is skipped, reported once, and
// written back as it was; every other setting and the history stay.
TEST_P(StrayLine, IsSkippedReportedOnceAndKeptOnSave)
{
    const QString path = NewPath();
    const QByteArray around = "WholeWord=True\n" + GetParam().Line + "\nMatchCase=True\n";
    WriteTestFile(path, "LanguageFile=english.ini\n[Options]\n; typed by hand\n" + around + "[History]\nFind0=abc\n");
    TIniFileStore store(path);
    EXPECT_EQ(store.ReadString(QStringLiteral("Options"), QStringLiteral("WholeWord"), QString()), QStringLiteral("True"));
    EXPECT_EQ(store.ReadString(QStringLiteral("Options"), QStringLiteral("MatchCase"), QString()), QStringLiteral("True"));
    EXPECT_EQ(store.ReadString(QStringLiteral("History"), QStringLiteral("Find0"), QString()), QStringLiteral("abc"));
    EXPECT_EQ(store.KeyNames(QStringLiteral("Options")), (QStringList{QStringLiteral("WholeWord"), QStringLiteral("MatchCase")}));
    const QString report = store.TakeLoadError();
    EXPECT_TRUE(report.contains(path) && report.contains(QStringLiteral("line 5"))) << report.toStdString();
    EXPECT_TRUE(store.TakeLoadError().isEmpty()) << "reported once";

    store.WriteString(QStringLiteral("Options"), QStringLiteral("FindDown"), QStringLiteral("False"));
    store.Flush(true);
    const QByteArray saved = ReadTestFile(path);
    EXPECT_TRUE(saved.contains("; typed by hand\n" + around)) << saved.constData();
    EXPECT_TRUE(saved.contains("FindDown=False\n"));
    EXPECT_TRUE(saved.contains("[History]\nFind0=abc\n"));
    EXPECT_TRUE(DamagedCopies(path).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, StrayLine,
                         ::testing::Values(TStrayLineCase{"LineWithoutEquals", "WholeWord"},
                                           TStrayLineCase{"KeylessLine", "=True"},
                                           TStrayLineCase{"UnclosedHeader", "[Options"},
                                           TStrayLineCase{"HeaderWithText", "[Other] x"}),
                         TCaseName());

TEST(SettingsFileTest, FileTruncatedAtAnyByteLoadsWithoutCrash)
{
    const QString path = NewPath();
    for (qsizetype length = 0; length <= kSample.size(); ++length) {
        WriteTestFile(path, kSample.left(length));
        const auto document = TIniDocument::ReadFile(path);
        // Either what the prefix holds or nothing at all, never a crash.
        if (document->LoadError().isEmpty() && length > 40) {
            EXPECT_EQ(document->Read(QString(), QStringLiteral("LanguageFile")), QStringLiteral("english.ini"));
        }
    }
    for (int round = 0; round < 200; ++round) {
        QByteArray noisy = kSample;
        noisy[QRandomGenerator::global()->bounded(static_cast<int>(noisy.size()))] =
            static_cast<char>(QRandomGenerator::global()->bounded(256));
        WriteTestFile(path, noisy);
        (void)TIniDocument::ReadFile(path)->Serialize();
    }
}

TEST(SettingsFileTest, AFileThatCannotBeWrittenRaisesAndLeavesTheOldOne)
{
    const QString folder = TTestEnvironment::NewFolder();
    // A path below a regular file can be neither created nor written, even by root.
    WriteTestFile(folder + QStringLiteral("/blocker"), "x");
    TIniFileStore store(folder + QStringLiteral("/blocker/Vellumo.ini"));
    store.WriteString(QStringLiteral("Options"), QStringLiteral("A"), QStringLiteral("1"));
    EXPECT_THROW(store.Flush(true), EIniFileError);
    EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/blocker")), QByteArray("x"));
}
