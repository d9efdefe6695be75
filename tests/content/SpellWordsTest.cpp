#include "content/spell/SpellWords.h"
#include "content/spell/WordKey.h"
#include "tests/content/ContentTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(SpellWords, TheListOrderIgnoresLetterCaseAndNotTheLocale)
{
    EXPECT_EQ(CompareWords(u"hello", u"HELLO"), 0);
    EXPECT_LT(CompareWords(u"HELL", u"hello"), 0) << "a prefix comes first";
    EXPECT_LT(CompareWords(u"DON'T", u"DONE"), 0) << "the apostrophe is a character below the letters";
    EXPECT_LT(CompareWords(u"AB", u"a_"), 0) << "letters compare as capitals, also against signs between the cases";
    EXPECT_LT(CompareWords(u"ZEBRA", u"\u00C9CLAIR"), 0) << "accented letters by code, after the unaccented ones";
    EXPECT_EQ(CompareWords(u"\u00E9clair", u"\u00C9CLAIR"), 0);
}

struct TSoundexCase
{
    const char* Name;
    const char16_t* Word;
    const char* Code;
};

class SoundexOf : public ::testing::TestWithParam<TSoundexCase>
{
};

TEST_P(SoundexOf, Word)
{
    EXPECT_EQ(Soundex(GetParam().Word), QString::fromLatin1(GetParam().Code));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SoundexOf,
    ::testing::Values(TSoundexCase{"Plain", u"Robert", "R163"}, TSoundexCase{"SameSound", u"RUPERT", "R163"},
                      TSoundexCase{"PaddedWithZeros", u"Lee", "L000"},
                      TSoundexCase{"HAndWDoNotSeparateEqualDigits", u"Ashcraft", "A261"},
                      TSoundexCase{"VowelsSeparateEqualDigits", u"Tymczak", "T522"},
                      TSoundexCase{"FirstLetterCountsForTheNext", u"Pfister", "P236"},
                      TSoundexCase{"SmallFirstLetterIsCapitalised", u"honeyman", "H555"},
                      TSoundexCase{"ApostropheScoresNothing", u"HELLO'S", "H420"},
                      TSoundexCase{"AccentedLetterScoresNothing", u"caf\u00e9s", "C120"},
                      TSoundexCase{"Empty", u"", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SpellWords, SuggestionsTakeTheLetterCaseOfTheWord)
{
    EXPECT_EQ(MatchCase(u"HELLO", u"helo"), QStringLiteral("hello"));
    EXPECT_EQ(MatchCase(u"hello", u"HELO"), QStringLiteral("HELLO"));
    EXPECT_EQ(MatchCase(u"HELLO", u"Helo,"), QStringLiteral("Hello"));
    EXPECT_EQ(MatchCase(u"NEW YORK", u"nEw"), QStringLiteral("New York"));
}

TEST(SpellWords, TheCoreOfAWordLeavesThePunctuationAroundIt)
{
    EXPECT_EQ(WordCore(u"(hello),"), u"hello");
    EXPECT_EQ(WordCore(u"\u201Cdon\u2019t\u201D\u2026"), u"don\u2019t");
    EXPECT_EQ(WordCore(u"e.g."), u"e.g");
    EXPECT_EQ(WordCore(u"--"), u"");
    EXPECT_FALSE(IsWordChar(QChar(0x00A0))) << "a no-break space ends a word";
    EXPECT_TRUE(IsWordChar(QLatin1Char('@')));
}

struct TKeyCase
{
    const char* Name;
    const char16_t* Word;
    const char* Key;
    unsigned OptionsOff = 0;
};

class WordKeyOf : public ::testing::TestWithParam<TKeyCase>
{
};

TEST_P(WordKeyOf, Word)
{
    TSpellOptions options;
    options.Flags &= ~GetParam().OptionsOff;
    options.DateSeparator = QLatin1Char('/');
    EXPECT_EQ(WordKey(GetParam().Word, options), QString::fromUtf8(GetParam().Key));
}

using O = TSpellOptions;

INSTANTIATE_TEST_SUITE_P(
    Keys, WordKeyOf,
    ::testing::Values(
        TKeyCase{"SmallLetters", u"hello", "HELLO"}, TKeyCase{"Capitalised", u"Hello", "HELLO"},
        TKeyCase{"PunctuationAround", u"\"hello,\"", "HELLO"},
        TKeyCase{"TypographicQuotesAround", u"\u201Chello\u201D\u2026", "HELLO"},
        TKeyCase{"Apostrophe", u"don't", "DON'T"}, TKeyCase{"TypographicApostrophe", u"don\u2019t", "DON'T"},
        TKeyCase{"PossessiveOfAPlural", u"dogs'", "DOGS"},
        TKeyCase{"AccentedLetters", u"D\u00fcsseldorf's", "D\u00dcSSELDORF'S"},
        TKeyCase{"LetterWithoutASingleCapital", u"stra\u00dfe", "STRASSE"}, TKeyCase{"FullStopsRemoved", u"e.g.", "EG"},
        TKeyCase{"DigitsInsideAWordAreChecked", u"mp3", "MP3"},
        TKeyCase{"WordInCapitals", u"NASA", ""},
        TKeyCase{"WordInCapitalsWhenCapitalsAreChecked", u"NASA", "NASA", O::IgnoreAllUpperCase},
        TKeyCase{"SignsAloneAreNoWord", u"--", ""},
        TKeyCase{"Number", u"1234", "", O::IgnoreAllUpperCase},
        TKeyCase{"DecimalNumber", u"3.14", "", O::IgnoreAllUpperCase},
        TKeyCase{"DateWithHyphens", u"2024-05-12", "", O::IgnoreAllUpperCase},
        TKeyCase{"DateWithTheLocaleSeparator", u"5/12/2024", "", O::IgnoreAllUpperCase},
        TKeyCase{"Ordinal", u"1st", ""}, TKeyCase{"OrdinalWithTwoDigits", u"22nd", ""},
        TKeyCase{"OrdinalBeforeAComma", u"3rd,", ""}, TKeyCase{"OrdinalInBrackets", u"(4th)", ""},
        TKeyCase{"AbbreviationSt", u"st.", ""},
        TKeyCase{"OrdinalWhenNumbersAreChecked", u"1st", "1ST", O::IgnoreNumbers},
        TKeyCase{"RomanNumeralBeforeAFullStop", u"VIII.", "", O::IgnoreAllUpperCase},
        TKeyCase{"SmallRomanNumeral", u"xi", ""},
        TKeyCase{"SingleIIsAWord", u"I", "I", O::IgnoreAllUpperCase},
        TKeyCase{"MailAddress", u"<john.smith@example.com>", ""},
        TKeyCase{"WebAddress", u"www.example.org", ""}, TKeyCase{"Url", u"https://example.org/a", ""},
        TKeyCase{"MailtoLink", u"Mailto:joe", ""},
        TKeyCase{"WebAddressWhenChecked", u"www.example.org", "WWWEXAMPLEORG", O::IgnoreInternet},
        TKeyCase{"DrivePath", u"c:\\windows\\win.ini", ""},
        TKeyCase{"NetworkPath", u"\\\\server\\share", ""},
        TKeyCase{"LinuxPath", u"/usr/share/dict", ""}, TKeyCase{"HomePath", u"~/notes.txt", ""},
        TKeyCase{"LinuxPathInBrackets", u"(/etc/hosts)", ""},
        TKeyCase{"LinuxPathWhenChecked", u"/usr/share", "USR/SHARE", O::IgnoreFiles},
        TKeyCase{"SlashAloneIsNoPath", u"and/or", "AND/OR"},
        TKeyCase{"BracketPairInside", u"word(s)", "WORDS"},
        TKeyCase{"NestedBracketPairs", u"{[(word)]}", "WORD"},
        TKeyCase{"ClosingBeforeOpeningStays", u"a)b(c", "A)B(C"},
        TKeyCase{"BracketPairWhenKept", u"word(s)", "WORD(S", O::IgnoreBrackets}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
