// Language table and settings file costs: loading the shipped language
// file, looking texts up by name and by number (what every window, box and
// background thread does), and reading and writing a settings file.

#include "settings/GlobStrings.h"
#include "settings/IniDocument.h"
#include "settings/LanguageKeys.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kEnglish = QStringLiteral(VELLUMO_SOURCE_DATA_DIR "/local/english.ini");

void BM_LoadLanguageFile(benchmark::State& state)
{
    for (auto _ : state) {
        TGlobStrings table;
        table.LoadLanguage(kEnglish);
        benchmark::DoNotOptimize(table.Count());
    }
}
BENCHMARK(BM_LoadLanguageFile);

// Every key the program asks for, half named, half numbered, one after another.
void BM_LookUpEveryKey(benchmark::State& state)
{
    TGlobStrings table;
    table.LoadLanguage(kEnglish);
    std::vector<std::pair<QString, QString>> keys;
    for (const TLanguageKey& key : RequiredLanguageKeys())
        keys.emplace_back(QString::fromLatin1(key.Section), QString::fromLatin1(key.Key));
    for (auto _ : state)
        for (const auto& [section, key] : keys)
            benchmark::DoNotOptimize(table.SectionValue(section, key));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}
BENCHMARK(BM_LookUpEveryKey);

void BM_NumberedText(benchmark::State& state)
{
    TGlobStrings table;
    table.LoadLanguage(kEnglish);
    const TLangSection section = table.ShellErrorSection();
    int number = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.TextOf(number, section));
        number = (number + 1) % 13;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumberedText);

// A settings file of 20 windows with 50 keys each, read and written whole.
void BM_SettingsFileRoundTrip(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/Vellumo.ini");
    {
        TIniFileStore store(path);
        for (int window = 0; window < 20; ++window)
            for (int key = 0; key < 50; ++key)
                store.WriteString(QStringLiteral("TaskForm\\%1").arg(window, 2), QStringLiteral("Key%1").arg(key),
                                  QStringLiteral("value %1").arg(key));
        store.Flush(true);
    }
    for (auto _ : state) {
        auto document = TIniDocument::ReadFile(path);
        document->Write(QStringLiteral("Options"), QStringLiteral("WholeWord"),
                        state.iterations() % 2 ? QStringLiteral("True") : QStringLiteral("False"));
        document->Flush(true);
    }
}
BENCHMARK(BM_SettingsFileRoundTrip);

} // namespace

BENCHMARK_MAIN();
