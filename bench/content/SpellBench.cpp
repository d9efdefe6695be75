// The spell checker over the built main dictionary: loading it (ms per
// load), checking a 10,000-word text in the background (words/s), the
// interactive walk over the same text (words/s) and suggestions.

#include "content/spell/DictStrings.h"
#include "content/spell/SpellBackground.h"
#include "content/spell/SpellChecker.h"
#include "content/spell/SpellText.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

const QString kDictionary = QStringLiteral(VELLUMO_BUILD_DATA_DIR "/spellcheck/english.txt");
constexpr int kTextWords = 10000;

// Prose-like text of dictionary words: small letters, a capital after each
// full stop, commas and full stops, and one word in thirty misspelled by
// swapping two of its letters.
QString MakeText()
{
    TDictStrings words;
    words.LoadFromFile(kDictionary);
    std::mt19937 random(20240531);
    QString text;
    bool sentenceStart = true;
    for (int i = 0; i < kTextWords; ++i) {
        QString word = words.Word(static_cast<qsizetype>(random() % words.Count())).toString().toLower();
        if (random() % 30 == 0 && word.size() > 3)
            std::swap(word[1], word[2]);
        if (sentenceStart)
            word[0] = word[0].toUpper();
        text += word;
        const unsigned mark = random() % 12;
        sentenceStart = mark == 0;
        text += mark == 0 ? QStringLiteral(". ") : mark == 1 ? QStringLiteral(", ") : QStringLiteral(" ");
    }
    return text;
}

const QString& Text()
{
    static const QString text = MakeText();
    return text;
}

TSpellChecker& LoadedChecker()
{
    static TSpellChecker* checker = [] {
        auto* loaded = new TSpellChecker;
        loaded->SetMainCapacity(TSpellChecker::kMainDictionaryCapacity);
        loaded->SetMainDictionary(kDictionary);
        return loaded;
    }();
    return *checker;
}

void BM_LoadMainDictionary(benchmark::State& state)
{
    for (auto _ : state) {
        TSpellChecker checker;
        checker.SetMainCapacity(TSpellChecker::kMainDictionaryCapacity);
        checker.SetMainDictionary(kDictionary);
        benchmark::DoNotOptimize(checker.MainWordCount());
    }
    state.counters["words"] = static_cast<double>(LoadedChecker().MainWordCount());
}
BENCHMARK(BM_LoadMainDictionary)->Unit(benchmark::kMillisecond);

void BM_FindMisspelledWords(benchmark::State& state)
{
    const TSpellChecker& checker = LoadedChecker();
    const QString& text = Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(FindMisspelledWords(checker, text));
    state.SetItemsProcessed(state.iterations() * kTextWords);
    state.counters["misspelled"] = static_cast<double>(FindMisspelledWords(checker, text).size());
}
BENCHMARK(BM_FindMisspelledWords)->Unit(benchmark::kMillisecond);

void BM_CheckTextIgnoringEveryFinding(benchmark::State& state)
{
    TSpellChecker& checker = LoadedChecker();
    checker.SetOnMisspelledWord([](const QString&, QString&) { return TSpellAnswer::Ignore; });
    checker.SetOnRepeatedWord([](const QString&) { return TSpellAnswer::No; });
    for (auto _ : state) {
        TStringSpellText text(Text());
        benchmark::DoNotOptimize(checker.CheckText(text));
    }
    state.SetItemsProcessed(state.iterations() * kTextWords);
}
BENCHMARK(BM_CheckTextIgnoringEveryFinding)->Unit(benchmark::kMillisecond);

void BM_GetSuggestions(benchmark::State& state)
{
    const TSpellChecker& checker = LoadedChecker();
    const QStringList words{QStringLiteral("helo"), QStringLiteral("Recieve"), QStringLiteral("seperate"),
                            QStringLiteral("tommorow"), QStringLiteral("acommodate")};
    for (auto _ : state)
        for (const QString& word : words)
            benchmark::DoNotOptimize(checker.GetSuggestions(word));
    state.SetItemsProcessed(state.iterations() * words.size());
}
BENCHMARK(BM_GetSuggestions)->Unit(benchmark::kMicrosecond);

} // namespace
