#include "content/spell/DictStrings.h"
#include "content/spell/SpellChecker.h"
#include "content/spell/SpellSetup.h"
#include "content/spell/SpellWords.h"
#include "base/Stream.h"
#include "settings/IniFiler.h"
#include "settings/Options.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/content/SpellTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class SpellChecker : public TContentTest
{
};

struct TEncodingCase
{
    const char* Name;
    QByteArray Bytes;
};

class DictionaryFileIn : public SpellChecker, public ::testing::WithParamInterface<TEncodingCase>
{
};

TEST_P(DictionaryFileIn, Encoding)
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/words.txt");
    WriteTestFile(path, GetParam().Bytes);
    TDictStrings words;
    ASSERT_TRUE(words.LoadFromFile(path));
    ASSERT_EQ(words.Count(), 3) << "blank lines are no words";
    EXPECT_EQ(words.Word(0), u"CAF\u00C9");
    EXPECT_EQ(words.Word(2), u"CAR");
    EXPECT_TRUE(words.Contains(u"caf\u00e9")) << "looked up with letter case ignored";
    EXPECT_TRUE(words.Contains(u"CAN"));
    EXPECT_FALSE(words.Contains(u"CA"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, DictionaryFileIn,
    ::testing::Values(TEncodingCase{"Utf16WithByteOrderMark", Hex("FFFE 4300 4100 4600 C900 0A00 4300 4100 4E00 0A00 "
                                                                   "0A00 4300 4100 5200 0A00")},
                      TEncodingCase{"Utf8WithByteOrderMark", QByteArray("\xEF\xBB\xBF" "CAF\xC3\x89\nCAN\n\nCAR\n")},
                      TEncodingCase{"SystemCodePageWithCrLf", QByteArray("CAF\xC9\r\nCAN\r\n  \r\nCAR")}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SpellChecker, TheFirstLetterIndexGivesTheWordsOfOneLetter)
{
    TDictStrings words;
    words.SetCapacity(10);
    for (const char* word : {"ABLE", "ACE", "BAD", "BED", "BUD", "CUP"})
        words.Add(QString::fromLatin1(word));
    EXPECT_EQ(words.LetterRange(QLatin1Char('A')), std::make_pair(qsizetype(0), qsizetype(2)));
    EXPECT_EQ(words.LetterRange(QLatin1Char('B')), std::make_pair(qsizetype(2), qsizetype(5)));
    EXPECT_EQ(words.LetterRange(QLatin1Char('C')), std::make_pair(qsizetype(5), qsizetype(6)));
    EXPECT_EQ(words.LetterRange(QLatin1Char('D')), std::make_pair(qsizetype(0), qsizetype(0)));
    words.Clear();
    EXPECT_EQ(words.Count(), 0);
    EXPECT_EQ(words.LetterRange(QLatin1Char('A')), std::make_pair(qsizetype(0), qsizetype(0)));
}

TEST_F(SpellChecker, AMissingMainDictionaryLeavesTheDictionaryAsItWas)
{
    TSmallChecker checker;
    const QString loaded = checker.MainDictionary();
    checker.SetMainDictionary(TTestEnvironment::NewFolder() + QStringLiteral("/missing.txt"));
    EXPECT_EQ(checker.MainDictionary(), loaded);
    EXPECT_EQ(checker.MainWordCount(), SmallDictionaryWords().size());

    TSpellChecker empty;
    empty.SetMainDictionary(TTestEnvironment::NewFolder() + QStringLiteral("/missing.txt"));
    EXPECT_EQ(empty.MainWordCount(), 0);
    EXPECT_FALSE(empty.IsWordCorrect(u"hello"));
}

struct TCorrectCase
{
    const char* Name;
    const char16_t* Word;
    bool Correct;
};

class WordIsCorrect : public SpellChecker, public ::testing::WithParamInterface<TCorrectCase>
{
};

TEST_P(WordIsCorrect, ByTheDictionaries)
{
    TSmallChecker checker;
    checker.AddToCustom(QStringLiteral("Vellumo"));
    checker.AddToIgnored(QStringLiteral("ZZYZX"));
    EXPECT_EQ(checker.IsWordCorrect(GetParam().Word), GetParam().Correct);
}

INSTANTIATE_TEST_SUITE_P(
    Words, WordIsCorrect,
    ::testing::Values(TCorrectCase{"InTheMainDictionary", u"hello", true},
                      TCorrectCase{"CapitalisedInTheMainDictionary", u"Hello", true},
                      TCorrectCase{"Unknown", u"helo", false}, TCorrectCase{"UnknownCapitalised", u"Helo", false},
                      TCorrectCase{"UnknownInCapitals", u"HELO", true},
                      TCorrectCase{"WithApostrophe", u"don't", true},
                      TCorrectCase{"WithTypographicApostrophe", u"Don\u2019t", true},
                      TCorrectCase{"Possessive", u"hello's", true},
                      TCorrectCase{"UnknownPossessive", u"helo's", false},
                      TCorrectCase{"WithDigits", u"hello2", false}, TCorrectCase{"Ordinal", u"21st", true},
                      TCorrectCase{"InBracketsAndQuotes", u"(\"hello\"),", true},
                      TCorrectCase{"WithBlanksAround", u"  hello\t", true},
                      TCorrectCase{"InTheCustomDictionary", u"vellumo", true},
                      TCorrectCase{"OnTheIgnoreList", u"zzyzx.", true},
                      TCorrectCase{"MailAddress", u"helo@example.com", true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SpellChecker, AWordAddedToTheCustomDictionarySurvivesARestart)
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/custom.dic");
    {
        TSmallChecker checker;
        checker.SetCustomDictionary(path);
        EXPECT_TRUE(checker.AddToCustom(QStringLiteral("Vellumo")));
        EXPECT_FALSE(checker.AddToCustom(QStringLiteral("VELLUMO"))) << "held in another letter case";
        EXPECT_TRUE(checker.AddToCustom(QStringLiteral("Quorvan")));
    }
    const QByteArray saved = ReadTestFile(path);
    EXPECT_TRUE(saved.startsWith("\xFF\xFE")) << "UTF-16 with a byte-order mark";
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(saved.constData() + 2), (saved.size() - 2) / 2),
              QStringLiteral("Quorvan\nVellumo\n"))
        << "sorted, one word a line";

    TSmallChecker restarted;
    EXPECT_FALSE(restarted.IsWordCorrect(u"vellumo"));
    restarted.SetCustomDictionary(path);
    EXPECT_TRUE(restarted.IsWordCorrect(u"vellumo"));
    EXPECT_EQ(restarted.CustomWords(), QStringList({QStringLiteral("Quorvan"), QStringLiteral("Vellumo")}));
}

TEST_F(SpellChecker, ACustomDictionaryIsReadInAnyOfTheTextEncodings)
{
    const QString folder = TTestEnvironment::NewFolder();
    const QByteArray utf8 = "\xEF\xBB\xBF" "zeta\r\nCaf\xC3\xA9\n\nalpha\n";
    const QByteArray ansi = "zeta\r\nCaf\xE9\n\nalpha\n";
    for (const QByteArray& bytes : {utf8, ansi}) {
        const QString path = folder + QStringLiteral("/%1.dic").arg(bytes.size());
        WriteTestFile(path, bytes);
        TSpellChecker checker;
        checker.SetCustomDictionary(path);
        EXPECT_EQ(checker.CustomWords(),
                  QStringList({QStringLiteral("alpha"), QStringLiteral("Caf\u00e9"), QStringLiteral("zeta")}));
        EXPECT_FALSE(checker.IsWordCorrect(u"caf\u00e9s"));
        EXPECT_TRUE(checker.IsWordCorrect(u"caf\u00e9"));
    }
}

TEST_F(SpellChecker, ACustomDictionaryThatCannotBeWrittenIsReportedAndTheWordKept)
{
    const QString folder = TTestEnvironment::NewFolder();
    TSmallChecker checker;
    checker.SetCustomDictionary(folder + QStringLiteral("/no/such/folder/custom.dic"));
    EXPECT_THROW(checker.AddToCustom(QStringLiteral("Vellumo")), EStreamError);
    EXPECT_TRUE(checker.IsWordCorrect(u"vellumo")) << "kept for this run";

    // A target that is a folder: writing fails and leaves it as it was.
    const QString blocked = folder + QStringLiteral("/blocked.dic");
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    checker.SetCustomDictionary(blocked);
    EXPECT_THROW(checker.AddToCustom(QStringLiteral("Quorvan")), EStreamError);
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList()) << "no temporary file is left behind";
}

struct TSuggestionCase
{
    const char* Name;
    const char16_t* Word;
    const char* Suggestions; // separated by "|"
};

class SuggestionsFor : public SpellChecker, public ::testing::WithParamInterface<TSuggestionCase>
{
};

TEST_P(SuggestionsFor, Word)
{
    TSmallChecker checker;
    checker.AddToCustom(QStringLiteral("hula"));
    checker.AddToCustom(QStringLiteral("Bella"));
    const QString expected = QString::fromLatin1(GetParam().Suggestions);
    EXPECT_EQ(checker.GetSuggestions(QString::fromUtf16(GetParam().Word)).join(QLatin1Char('|')), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, SuggestionsFor,
    ::testing::Values(
        TSuggestionCase{"SoundingAlikeInDictionaryOrderThenCustomWords", u"helo", "hall|halo|hell|hello|hill|hole|hula"},
        TSuggestionCase{"InCapitalsForAWordInCapitals", u"HELO", "HALL|HALO|HELL|HELLO|HILL|HOLE|HULA"},
        TSuggestionCase{"CapitalisedForACapitalisedWord", u"Helo", "Hall|Halo|Hell|Hello|Hill|Hole|Hula"},
        TSuggestionCase{"PunctuationAroundIsNotPartOfTheWord", u"(helo),", "hall|halo|hell|hello|hill|hole|hula"},
        TSuggestionCase{"WordsThatTheStartSpellsOutComeFirst", u"Helloworld", "Hello|Hell"},
        TSuggestionCase{"OnlyWordsOfTheSameFirstLetter", u"wello", ""},
        TSuggestionCase{"NoWordsForALetterWithoutWords", u"xylo", ""}, TSuggestionCase{"Empty", u"  ", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SpellChecker, MainDicOnlyLeavesTheCustomWordsOutOfTheSuggestions)
{
    TSmallChecker checker;
    checker.AddToCustom(QStringLiteral("hula"));
    checker.SetMainDicOnly(true);
    EXPECT_FALSE(checker.GetSuggestions(QStringLiteral("helo")).contains(QStringLiteral("hula")));
    EXPECT_TRUE(checker.IsWordCorrect(u"hula")) << "the custom words still count as correct";
}

TEST_F(SpellChecker, TheOptionsPersistInTheSpellCheckSection)
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/settings.ini");
    {
        TSpellChecker checker;
        checker.SetIgnoreNumbers(false);
        checker.SetMainDicOnly(true);
        auto filer = TIniFiler::OverFile(path);
        filer->SaveObject(&checker);
        filer->Commit();
    }
    const QString written = QString::fromUtf8(ReadTestFile(path));
    EXPECT_TRUE(written.contains(QStringLiteral("[SpellCheck]"))) << written.toStdString();
    for (const char* line : {"IgnoreNumbers=False", "IgnoreAllUpperCase=True", "IgnoreInternet=True", "IgnoreFiles=True",
                             "IgnoreBrackets=True", "DuplicateSpaces=True", "DuplicateWords=True", "MainDicOnly=True",
                             "AlwaysSuggest=True"})
        EXPECT_TRUE(written.contains(QString::fromLatin1(line))) << line;

    TSpellChecker loaded;
    loaded.SetAlwaysSuggest(false);
    auto filer = TIniFiler::OverFile(path);
    filer->SetLoading(true);
    filer->LoadObject(&loaded);
    EXPECT_FALSE(loaded.IgnoreNumbers());
    EXPECT_TRUE(loaded.MainDicOnly());
    EXPECT_TRUE(loaded.AlwaysSuggest());
}

TEST_F(SpellChecker, ThePreparedCheckerHasTheBuiltDictionaryTheCustomFileAndTheStoredOptions)
{
    const QByteArray dataDir = qgetenv("VELLUMO_DATA_DIR");
    qputenv("VELLUMO_DATA_DIR", VELLUMO_BUILD_DATA_DIR);
    WriteTestFile(QFile::decodeName(qgetenv("VELLUMO_CONFIG")), "[SpellCheck]\nDuplicateSpaces=False\n");
    {
        TOptions settings;
        TSpellChecker checker;
        PrepareSpellChecker(checker, settings);
        EXPECT_FALSE(checker.DuplicateSpaces());
        EXPECT_TRUE(checker.DuplicateWords());
        EXPECT_GT(checker.MainWordCount(), 100000);
        EXPECT_EQ(checker.CustomDictionary(), settings.OptionsPath() + QStringLiteral("custom.dic"));
    }
    QFile::remove(QFile::decodeName(qgetenv("VELLUMO_CONFIG")));
    qputenv("VELLUMO_DATA_DIR", dataDir);
}

TEST_F(SpellChecker, EveryWordOfTheBuiltDictionaryIsFoundWhereItsOrderPutsIt)
{
    TSpellChecker checker;
    checker.SetMainDictionary(BuiltDictionaryPath());
    TDictStrings words;
    ASSERT_TRUE(words.LoadFromFile(BuiltDictionaryPath()));
    ASSERT_GT(words.Count(), 100000);
    for (qsizetype i = 0; i < words.Count(); ++i) {
        ASSERT_TRUE(words.Contains(words.Word(i))) << words.Word(i).toString().toStdString();
        ASSERT_EQ(words.Word(i), words.Word(i).toString().toUpper());
        if (i > 0) {
            ASSERT_LT(CompareWords(words.Word(i - 1), words.Word(i)), 0) << "sorted, each word once";
        }
    }
    for (const char16_t* word : {u"hello", u"Don't", u"D\u00fcsseldorf", u"cat's", u"aardvark", u"zygote"})
        EXPECT_TRUE(checker.IsWordCorrect(word)) << QString::fromUtf16(word).toStdString();
    EXPECT_FALSE(checker.IsWordCorrect(u"helo"));
    EXPECT_TRUE(checker.GetSuggestions(QStringLiteral("helo")).contains(QStringLiteral("hello")));
}

} // namespace
