// Opening a folder, measured against GMime's own parse of the same messages
// in the same run: every repetition parses the folder's messages with GMime
// (the reference), opens the folder with no list fields cached (first open),
// then opens it again (reopen). Each open runs from setting the folder id
// until every message is parsed, in sorted order, and its list fields are
// written back. Reported per folder size (5k, 20k, 80k, 100k messages):
//   first_x, reopen_x   the reference's time divided by the open's (goals: >= 1 and >= 10)
//   first_s, reopen_s, gmime_s   the times themselves
//   first_rows_ms, reopen_rows_ms   until the list control is first told of rows
//   heap_per_msg        heap bytes the open list holds per message
//   peak_rss_MiB        of the whole process so far
// Run with --benchmark_repetitions=5 and read the medians. BM_OpenCached
// repeats the reopen alone; set VELLUMO_BENCH_MILLION=1 to add its cached
// open of a 1,000,000-message folder.

#include "bench/support/GMimeReference.h"
#include "bench/support/BenchStore.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>

namespace {


TBenchStore& Store()
{
    static TBenchStore store;
    return store;
}

// A list control that notes when it is first told of rows.
class TTimingControl : public IVirtualListControl
{
public:
    explicit TTimingControl(const QElapsedTimer& clock) : FClock(clock) {}
    void SendItemCount(int count) override
    {
        qint64 none = -1;
        if (count > 0)
            FFirstRowsNs.compare_exchange_strong(none, FClock.nsecsElapsed());
    }
    void SendRowUpdate(int) override {}
    void SendClear() override {}
    void BeginUpdateFromAnyThread() override {}
    void EndUpdateFromAnyThread() override {}
    void ListChanged() override {}
    void PostToControl(int) override {}
    void PostToWindow(int) override {}
    void ItemRemoved(const TVirtItem*) override {}
    bool ShowsCheckBoxes() const override { return false; }
    [[nodiscard]] double FirstRowsMs() const { return static_cast<double>(FFirstRowsNs.load()) / 1e6; }

private:
    const QElapsedTimer& FClock;
    std::atomic<qint64> FFirstRowsNs{-1};
};

qint64 HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
}

struct TOpenFigures {
    double Seconds = 0;
    double FirstRowsMs = 0;
    double HeapPerMessage = 0;
    bool Complete = false;
};

TOpenFigures OpenFolder(TStoreId folder, int count)
{
    // Whatever an earlier open left posted runs before the clock starts.
    QCoreApplication::processEvents();
    malloc_trim(0);
    const qint64 heapBefore = HeapInUse();
    TOpenFigures figures;
    QElapsedTimer clock;
    TTimingControl control(clock);
    {
        TOeMesgItems items;
        items.SetControl(&control);
        clock.start();
        items.SetFolderId(folder);
        figures.Complete = items.WaitUntilParsed(3600000) && items.Count() == count;
        figures.Seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        figures.FirstRowsMs = control.FirstRowsMs();
        figures.HeapPerMessage = static_cast<double>(HeapInUse() - heapBefore) / count;
        items.SetControl(nullptr);
    }
    return figures;
}

double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_OpenFolder(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<QByteArray> messages = TBenchStore::MessagesOf(count);
    const TStoreId folder = Store().FolderOf(count);
    const TGMimeReference reference;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (reference.ParseAll(messages) != count)
            state.SkipWithError("GMime did not parse every message");
        const double gmime = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        Store().ForgetListFields();
        const TOpenFigures first = OpenFolder(folder, count);
        const TOpenFigures again = OpenFolder(folder, count);
        if (!first.Complete || !again.Complete)
            state.SkipWithError("a load did not complete");
        state.counters["gmime_s"] = gmime;
        state.counters["first_s"] = first.Seconds;
        state.counters["reopen_s"] = again.Seconds;
        state.counters["first_x"] = gmime / first.Seconds;
        state.counters["reopen_x"] = gmime / again.Seconds;
        state.counters["first_rows_ms"] = first.FirstRowsMs;
        state.counters["reopen_rows_ms"] = again.FirstRowsMs;
        state.counters["heap_per_msg"] = again.HeapPerMessage;
    }
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_OpenFolder)->Arg(5000)->Arg(20000)->Arg(80000)->Arg(100000)->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(1);

// A folder opened again and again with its list fields cached, alone (to
// profile the reopen): 20,000 and 100,000 messages, and a million when
// VELLUMO_BENCH_MILLION is set.
void BM_OpenCached(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    if (count > 100000 && !qEnvironmentVariableIsSet("VELLUMO_BENCH_MILLION")) {
        state.SkipWithError("set VELLUMO_BENCH_MILLION=1 to run");
        return;
    }
    const TStoreId folder = Store().FolderOf(count);
    OpenFolder(folder, count);   // fills the cache
    for (auto _ : state) {
        const TOpenFigures figures = OpenFolder(folder, count);
        if (!figures.Complete)
            state.SkipWithError("the load did not complete");
        state.counters["reopen_s"] = figures.Seconds;
        state.counters["reopen_rows_ms"] = figures.FirstRowsMs;
        state.counters["heap_per_msg"] = figures.HeapPerMessage;
    }
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_OpenCached)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
