#include "content/spell/SpellBackground.h"
#include "content/spell/SpellChecker.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/content/SpellTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class SpellBackground : public TContentTest
{
protected:
    TSmallChecker FChecker;

    [[nodiscard]] QStringList Marked(const QString& text) const
    {
        QStringList words;
        for (const TSpellRange& range : FindMisspelledWords(FChecker, text))
            words.append(text.mid(range.Start, range.Length));
        return words;
    }
};

TEST_F(SpellBackground, MarksTheMisspelledWordsWithoutThePunctuationAroundThem)
{
    const QString text = QStringLiteral("The cat (sta) on teh mat,\nhelo's \u201Cdgo\u201D\u00A0wordz. HELO 2nd");
    EXPECT_EQ(Marked(text), QStringList({QStringLiteral("sta"), QStringLiteral("teh"), QStringLiteral("helo's"),
                                         QStringLiteral("dgo"), QStringLiteral("wordz")}));
    const std::vector<TSpellRange> ranges = FindMisspelledWords(FChecker, text);
    ASSERT_FALSE(ranges.empty());
    EXPECT_EQ(ranges[0], (TSpellRange{9, 3}));
    EXPECT_TRUE(FindMisspelledWords(FChecker, QString()).empty());
    EXPECT_TRUE(FindMisspelledWords(FChecker, QStringLiteral(" \n\t ")).empty());
}

TEST_F(SpellBackground, FollowsTheCustomDictionaryTheIgnoreListAndTheOptions)
{
    const QString text = QStringLiteral("teh Vellumo NASA");
    EXPECT_EQ(Marked(text), QStringList({QStringLiteral("teh"), QStringLiteral("Vellumo")}));
    FChecker.AddToIgnored(QStringLiteral("teh"));
    FChecker.AddToCustom(QStringLiteral("vellumo"));
    FChecker.SetIgnoreAllUpperCase(false);
    EXPECT_EQ(Marked(text), QStringList{QStringLiteral("NASA")});
}

TEST_F(SpellBackground, StopsWhenCancelled)
{
    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(FindMisspelledWords(FChecker, QStringLiteral("teh helo"), &cancelled).empty());
}

// Checks run on worker threads while the main thread changes what they
// read: dictionaries, the ignore list and the options. Run under the
// thread sanitizer, this shows the checker safe to share.
TEST_F(SpellBackground, ChecksOnOtherThreadsRunWhileTheCheckerChanges)
{
    const QString text = QStringLiteral("The cat sat on teh mat. Helo, saw the dog, zork and NASA.\n").repeated(50);
    const QString secondDictionary = WriteSmallDictionary();
    const QString custom = TTestEnvironment::NewFolder() + QStringLiteral("/custom.dic");
    FChecker.SetCustomDictionary(custom);
    std::atomic<bool> done{false};
    std::atomic<int> runs{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&] {
            const QString snapshot(text.constData(), text.size());
            while (!done.load()) {
                for (const TSpellRange& range : FindMisspelledWords(FChecker, snapshot)) {
                    const QString word = snapshot.mid(range.Start, range.Length);
                    if (word != QStringLiteral("teh") && word != QStringLiteral("Helo") && word != QStringLiteral("zork")
                        && word != QStringLiteral("NASA"))
                        ADD_FAILURE() << word.toStdString();
                }
                ++runs;
            }
        });
    }
    while (runs.load() < 3)
        std::this_thread::yield();
    for (int round = 0; round < 20; ++round) {
        FChecker.AddToCustom(QStringLiteral("word%1").arg(round));
        FChecker.AddToIgnored(QStringLiteral("zork%1").arg(round));
        FChecker.SetIgnoreAllUpperCase(round % 2 == 0);
        FChecker.SetMainDictionary(round % 2 == 0 ? secondDictionary : WriteSmallDictionary());
        FChecker.SetCustomDictionary(round % 2 == 0 ? QString() : custom);
        EXPECT_FALSE(FChecker.GetSuggestions(QStringLiteral("helo")).isEmpty());
    }
    done = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_GE(runs.load(), 3);
}

} // namespace
