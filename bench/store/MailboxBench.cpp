// Mailbox export and import of a synthetic 200 MB mailbox (10,000 messages)
// through the store collection, each with its floor in the same run: for the
// export, copying the same file by `cp`; for the import, SQLite inserting
// the same sources into a fresh database of the same settings in one
// transaction. Export opens the folder first, as the command line does.
// Every benchmark reports the process's peak RSS; run each one alone
// (--benchmark_filter) to read its own.

#include "bench/support/SqliteFloor.h"
#include "bench/support/SyntheticMail.h"
#include "engine/StoreNamespace.h"
#include "base/FileStream.h"
#include "messages/Mailbox.h"
#include "messages/MboxFormat.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// 10,000 messages, or as many as VELLUMO_BENCH_MAILBOX_MESSAGES says (to
// see how time and memory grow with the file).
int MessageCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("VELLUMO_BENCH_MAILBOX_MESSAGES", &ok);
    return ok && count > 0 ? count : 10000;
}
constexpr int kAverageSize = 21500;

// The store's inbox and a mailbox file hold the same messages.
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
        TFileStream file(File, TFileStream::TMode::Create);
        TMboxWriter writer(file);
        std::vector<QByteArray> batch;
        const int count = MessageCount();
        for (int i = 0; i < count; ++i) {
            batch.push_back(SyntheticMessage(i, kAverageSize, 11));
            writer.Append("bench@example.org", 0, batch.back());
            if (batch.size() == 64 || i + 1 == count)
                inbox->SaveMessages(std::exchange(batch, {}), 0, nullptr);
        }
        writer.Flush();
    }

    [[nodiscard]] double FileMegabytes() const { return QFileInfo(File).size() / 1e6; }
};

TMailboxFixture& Fixture()
{
    static TMailboxFixture fixture;
    return fixture;
}

double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, double megabytes)
{
    state.counters["MB"] = megabytes;
    state.counters["MB_per_s"] = benchmark::Counter(megabytes * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}

void Run(benchmark::State& state, const QByteArray& command)
{
    if (std::system(command.constData()) != 0)
        state.SkipWithError(command.constData());
}

// Opening the folder and exporting it, as the command line does: the first
// repetition derives the list fields, the others read them from the store.
void BM_Export(benchmark::State& state)
{
    Fixture();   // first: it points the store at the benchmark's own
    const QString exported = Fixture().Dir.filePath(QStringLiteral("export.mbox"));
    for (auto _ : state) {
        TOeMesgItems items;
        items.SetFolderId(1);
        if (!items.WaitUntilParsed(600000) || ExportMailbox(items, exported) != MessageCount())
            state.SkipWithError("the export did not complete");
    }
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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

// The export's floor: the same file copied by cp.
void BM_CpFloor(benchmark::State& state)
{
    const QByteArray file = QFile::encodeName(Fixture().File);
    for (auto _ : state)
        Run(state, "cp '" + file + "' '" + file + ".copy'");
    Run(state, "rm -f '" + file + ".copy'");
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_CpFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The import's floor: the file's sources, read beforehand, inserted by
// SQLite into a fresh database with the store's journal settings, in one
// transaction.
void BM_SqliteFloor(benchmark::State& state)
{
    std::vector<QByteArray> sources;
    {
        TFileStream file(Fixture().File, TFileStream::TMode::OpenRead);
        TMboxReader reader(file);
        for (QByteArray source; reader.Next(source);)
            sources.push_back(source);
    }
    int run = 0;
    for (auto _ : state) {
        const double seconds =
            SqliteFloorSeconds(Fixture().Dir.filePath(QStringLiteral("floor%1.db").arg(++run)), sources);
        if (seconds < 0)
            state.SkipWithError("insert failed");
        state.SetIterationTime(seconds);
    }
    Report(state, Fixture().FileMegabytes());
}
BENCHMARK(BM_SqliteFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
