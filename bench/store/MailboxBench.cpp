// Mailbox export and import of a synthetic 200 MB mailbox (10,000 messages)
// through the store collection, with reading the same file by `cat` as the
// floor.

#include "bench/support/SyntheticMail.h"
#include "engine/StoreNamespace.h"
#include "messages/Mailbox.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kMessages = 10000;
constexpr int kAverageSize = 21500;

struct TMailboxFixture {
    QTemporaryDir Dir;
    QString File;

    TMailboxFixture()
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(Dir.filePath(QStringLiteral("store.db"))));
        File = Dir.filePath(QStringLiteral("bench.mbox"));
        TStoreNamespace store;
        store.Initialize();
        std::unique_ptr<TStoreFolder> inbox;
        store.OpenFolder(1, 0, inbox);
        for (int i = 0; i < kMessages; ++i)
            inbox->SaveMessage(SyntheticMessage(i, kAverageSize, 11), 0, nullptr);
    }

    [[nodiscard]] double FileMegabytes() const { return QFileInfo(File).size() / 1e6; }
};

TMailboxFixture& Fixture()
{
    static TMailboxFixture fixture;
    return fixture;
}

void Report(benchmark::State& state, double megabytes)
{
    state.counters["MB"] = megabytes;
    state.counters["MB_per_s"] = benchmark::Counter(megabytes * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

void BM_Export(benchmark::State& state)
{
    Fixture();   // first: it points the store at the benchmark's own
    TOeMesgItems items;
    items.SetFolderId(1);
    items.WaitUntilParsed(600000);
    for (auto _ : state)
        ExportMailbox(items, Fixture().File);
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Import(benchmark::State& state)
{
    Fixture();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TOeMesgItems items;
        const TStoreId folder = items.Folders().AddFolder(1, "Import " + QByteArray::number(++run));
        items.SetFolderId(folder);
        items.WaitUntilParsed(600000);
        state.ResumeTiming();
        ImportMailbox(items, Fixture().File, false);
    }
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor: the same file read by cat.
void BM_CatFloor(benchmark::State& state)
{
    const QByteArray command = "cat '" + QFile::encodeName(Fixture().File) + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cat failed");
    }
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_CatFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
