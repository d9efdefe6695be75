#include "content/filters/AdvertismentFilters.h"
#include "settings/AdSamples.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

QStringList Lines(const char16_t* text)
{
    return QString::fromUtf16(text).split(QLatin1Char('\n'));
}

enum class TFilter { Greeting, Advertisment };

struct TFilterCase
{
    const char* Name;
    TFilter Filter;
    const char16_t* Input;
    const char16_t* Expected;   // nullptr: every line removed
    QStringList Samples = {};
    int Level = 90;
};

class FilterCase : public TContentTest, public ::testing::WithParamInterface<TFilterCase>
{
};

TEST_P(FilterCase, LeavesTheExpectedLines)
{
    const TFilterCase& c = GetParam();
    QStringList lines = Lines(c.Input);
    if (c.Filter == TFilter::Greeting)
        ApplyGreetingFilter(lines);
    else
        ApplyAdvertismentFilter(lines, c.Samples, c.Level);
    EXPECT_EQ(lines, c.Expected ? Lines(c.Expected) : QStringList());
}

const QString kThirty = QStringLiteral("BUY CHEAP WATCHES NOW AT SHOPX");   // thirty letters and spaces

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterCase,
    ::testing::Values(
        TFilterCase{"SeparatorGreetingAndEmptyLineGo", TFilter::Greeting,
                    u"----------\nHello John,\n\nThe actual text.", u"The actual text."},
        TFilterCase{"AttributionOnFirstLineGoes", TFilter::Greeting,
                    u"On Monday, Sam wrote:\n> quoted\nanswer", u"> quoted\nanswer"},
        TFilterCase{"OnWithoutWroteStays", TFilter::Greeting, u"On Monday we meet.\ntext",
                    u"On Monday we meet.\ntext"},
        TFilterCase{"GreetingThenAttributionBothGo", TFilter::Greeting,
                    u"  hello all  \n===\nYou Wrote  on 3 March:\ntext", u"text"},
        TFilterCase{"EndsWithYouWrote", TFilter::Greeting, u"Sam, you wrote:\ntext", u"text"},
        TFilterCase{"RussianGreeting", TFilter::Greeting, u"Здравствуйте, Иван!\n\nТекст", u"Текст"},
        TFilterCase{"RussianAttributionNeedsTheYear", TFilter::Greeting,
                    u"Вы писали 3 марта 2006:\nТекст", u"Текст"},
        TFilterCase{"RussianAttributionOfAnotherYearStays", TFilter::Greeting,
                    u"Вы писали 3 марта 2007:\nТекст", u"Вы писали 3 марта 2007:\nТекст"},
        TFilterCase{"GreetingAfterTextStays", TFilter::Greeting, u"text\nHello", u"text\nHello"},
        TFilterCase{"OnlyAGreetingLeavesNothing", TFilter::Greeting, u"Hello\n---", nullptr},
        TFilterCase{"ExactSampleCutsToTheEnd", TFilter::Advertisment,
                    u"text\n-----\n  Buy cheap watches now at shopx \nmore text\nlast", u"text",
                    QStringList{kThirty}},
        TFilterCase{"SimilarLineCutsAtLevel", TFilter::Advertisment,
                    u"text\nbuy cheap watches now at shopx!\nafter", u"text", QStringList{kThirty}},
        TFilterCase{"DissimilarLineStays", TFilter::Advertisment, u"text\nwatches are cheap\nafter",
                    u"text\nwatches are cheap\nafter", QStringList{kThirty}},
        TFilterCase{"ThreeCharacterLineNeverMatches", TFilter::Advertisment, u"text\nabc\nafter",
                    u"text\nabc\nafter", QStringList{QStringLiteral("ABC")}},
        TFilterCase{"MatchInTheMiddleRemovesLaterText", TFilter::Advertisment,
                    u"first\nBUY CHEAP WATCHES NOW AT SHOPX\nordinary text\nmore", u"first",
                    QStringList{kThirty}},
        TFilterCase{"TrailingSeparatorsGoEvenWithoutMatch", TFilter::Advertisment, u"text\n\n_____\n",
                    u"text", QStringList{kThirty}},
        TFilterCase{"NoSamplesNoChange", TFilter::Advertisment, u"text\n---", u"text\n---", QStringList{}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TSimilarityCase
{
    const char* Name;
    const char16_t* Sample;
    const char16_t* Key;
    int Percent;
};

class Similarity : public TContentTest, public ::testing::WithParamInterface<TSimilarityCase>
{
};

TEST_P(Similarity, CountsTheSamplesTrigramsFoundInTheKey)
{
    EXPECT_EQ(AdSimilarity(QString::fromUtf16(GetParam().Sample), QString::fromUtf16(GetParam().Key)),
              GetParam().Percent);
}

// "ABCDEFGHIJ" has eight trigrams: one found is 12.5 (down to even 12),
// three found is 37.5 (up to even 38).
INSTANTIATE_TEST_SUITE_P(
    Filters, Similarity,
    ::testing::Values(TSimilarityCase{"AllFound", u"ABCDE", u"XXABCDEXX", 100},
                      TSimilarityCase{"NoneFound", u"ABCDE", u"VWXYZ", 0},
                      TSimilarityCase{"HalfRoundsDownToEven", u"ABCDEFGHIJ", u"ABC", 12},
                      TSimilarityCase{"HalfRoundsUpToEven", u"ABCDEFGHIJ", u"ABCDE", 38},
                      TSimilarityCase{"ShortSampleHasNoTrigrams", u"AB", u"AB", 0},
                      TSimilarityCase{"AsymmetricShortKey", u"ABCDEF", u"ABC", 25},
                      TSimilarityCase{"CaseMatters", u"ABCDE", u"abcde", 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SeparatorLine, IsShortOrOneRepeatedCharacter)
{
    for (const char16_t* line : {u"", u"   ", u"x", u"------", u" ==== ", u"____"})
        EXPECT_TRUE(IsSeparatorLine(QString::fromUtf16(line))) << Units(QString::fromUtf16(line));
    for (const char16_t* line : {u"-=-=", u"ab", u"a-"})
        EXPECT_FALSE(IsSeparatorLine(QString::fromUtf16(line))) << Units(QString::fromUtf16(line));
}

// The samples file as a user's editor leaves it feeds the filter; an added
// sample keeps the previous file as the backup.
class AdSamplesFile : public TContentTest
{
};

TEST_F(AdSamplesFile, FeedsTheFilterAndAddingKeepsABackup)
{
    const QString folder = TTestEnvironment::NewFolder();
    const QString path = folder + QStringLiteral("/atcdict.txt");
    WriteTestFile(path, QByteArrayLiteral("\xEF\xBB\xBF  \xD0\xA1\xD0\xBA\xD0\xB8\xD0\xB4\xD0\xBA\xD0\xB8 \xD0\xB4\xD0\xBD\xD1\x8F \r\n\r\n"));
    TAdSamples samples;
    samples.LoadAdSamples(path);
    ASSERT_EQ(samples.Samples(), QStringList{QStringLiteral("СКИДКИ ДНЯ")});

    QStringList lines = {QStringLiteral("Текст"), QStringLiteral("Скидки дня")};
    ApplyAdvertismentFilter(lines, samples.Samples(), 90);
    EXPECT_EQ(lines, QStringList{QStringLiteral("Текст")});

    const QByteArray before = ReadTestFile(path);
    ASSERT_TRUE(samples.AddAdSample(QStringLiteral("Free offer"), path));
    EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/atcdict.~txt")), before);
    ASSERT_TRUE(samples.AddAdSample(QStringLiteral("Second offer"), path));
    EXPECT_NE(ReadTestFile(folder + QStringLiteral("/atcdict.~txt")), before) << "the older backup is replaced";
    TAdSamples reloaded;
    reloaded.LoadAdSamples(path);
    EXPECT_EQ(reloaded.Samples(), (QStringList{QStringLiteral("СКИДКИ ДНЯ"), QStringLiteral("FREE OFFER"),
                                               QStringLiteral("SECOND OFFER")}));
}

} // namespace
