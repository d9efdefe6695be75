// Opening a folder with the message list attached: the time from choosing
// the folder to the first painted page, and to the last message listed in
// sorted order, against the same load without a list in the same run.
//
// Both open the folder alike: the collection exists before the clock starts
// (a window holds its collection, and shows its empty list, before the user chooses a folder), and the
// folder's list fields are either kept in the store from an earlier open
// (first_open:0, what opening a folder again costs) or forgotten before
// every load (first_open:1, the first open of a store). Each case runs for
// 20,000 and 40,000 messages, so that the growth shows. With named:1 the
// list is asked beforehand to select a message by its id, as a window that
// restores its layout does: the message the store lists last, which the
// list looks for at every row count until it arrives.
//
// BM_LoadWithoutList is the collection alone. BM_LoadWithList times the
// list, and in every iteration also loads the folder without a list (first
// or second in turn), so that the overhead compares loads moments apart on
// a machine whose load changes:
//   load_median_ms         to the last message listed in order: without a
//                          list, in the collection; with one, also painted
//                          (the end of the list's first paint after the load)
//   first_page_median_ms   to the end of the first paint that shows a full page
//   reference_median_ms    the loads without a list of BM_LoadWithList
//   overhead_pct           the median of the iterations' ratios of the load
//                          with a list to the one without, less 100 %

#include "bench/support/BenchStore.h"
#include "messages/MesgFields.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/mesglist/MesgListView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kTimeoutMs = 600000;

TBenchStore& Store()
{
    static TBenchStore store;
    return store;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Ms(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Runs the event loop until the condition holds; false on the timeout.
template <typename TCondition>
bool Await(TCondition condition)
{
    const QDeadlineTimer deadline(kTimeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Opens the folder in the collection and waits until every message is listed.
bool LoadAll(TOeMesgItems& items, TStoreId folder, int count)
{
    items.SetFolderId(folder);
    return items.WaitUntilParsed(kTimeoutMs) && Await([&] { return !items.LoadRunning(); }) && items.Count() == count;
}

// The folder of the benchmark's size, with its list fields kept (opened once,
// untimed) unless the benchmark times first opens.
TStoreId PrepareFolder(const benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const TStoreId folder = Store().FolderOf(count);
    if (state.range(1) == 0) {
        TOeMesgItems items;
        LoadAll(items, folder, count);
    }
    return folder;
}

// Right before the clock starts: a first open forgets the kept fields, and
// whatever was left posted runs.
void BeforeLoad(const benchmark::State& state)
{
    if (state.range(1) != 0)
        Store().ForgetListFields();
    QCoreApplication::processEvents();
}

// One load of the collection alone, sorted as the list sorts it by default;
// none when it did not complete.
std::optional<double> LoadWithoutList(const benchmark::State& state, TStoreId folder, int count)
{
    TOeMesgItems items;
    items.SetSortOrder({msSubject, false, {mcSubject, mcFromRealName, mcFromEmail}});
    BeforeLoad(state);
    QElapsedTimer clock;
    clock.start();
    if (!LoadAll(items, folder, count))
        return std::nullopt;
    return Ms(clock);
}

// A message list that notes when it first painted a full page, and when it
// first painted once every message was listed.
class TTimedList : public TMesgListView
{
public:
    TTimedList(const QElapsedTimer& clock, int count) : FClock(clock), FCount(count) {}

    [[nodiscard]] std::optional<double> FirstPageMs() const { return FFirstPageMs; }
    [[nodiscard]] std::optional<double> LoadedPageMs() const { return FLoadedPageMs; }
    [[nodiscard]] bool Painted() const { return FPainted; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        TMesgListView::paintEvent(event);
        FPainted = true;
        if (!FClock.isValid())
            return;
        if (!FFirstPageMs && ItemCount() >= std::min(RowsPerPage(), FCount))
            FFirstPageMs = Ms(FClock);
        const auto* store = static_cast<const TOeMesgItems*>(Messages());
        if (!FLoadedPageMs && ItemCount() == FCount && !store->LoadRunning())
            FLoadedPageMs = Ms(FClock);
    }

private:
    const QElapsedTimer& FClock;
    const int FCount;
    std::optional<double> FFirstPageMs;
    std::optional<double> FLoadedPageMs;
    bool FPainted = false;
};

struct TListLoad {
    double FirstPageMs = 0;
    double LoadMs = 0;
};

// One load with the list shown, painted empty and its collection handed
// over before the folder is chosen, as in a window open before the user
// chooses a folder; none when it did not complete.
std::optional<TListLoad> LoadWithList(const benchmark::State& state, TStoreId folder, int count)
{
    QElapsedTimer clock;
    TTimedList list(clock, count);
    list.resize(1000, 700);
    list.show();
    list.SetMessages(std::make_unique<TOeMesgItems>());
    auto& items = static_cast<TOeMesgItems&>(*list.Messages());
    const bool named = state.range(2) != 0;
    const QByteArray name = "<" + QByteArray::number(count - 1) + ".synthetic@example.org>";
    if (named)
        list.SetMesgName(name);
    if (!Await([&] { return list.Painted(); }))
        return std::nullopt;
    BeforeLoad(state);
    clock.start();
    if (!LoadAll(items, folder, count) || !Await([&] { return list.LoadedPageMs().has_value(); }))
        return std::nullopt;
    const double load = Ms(clock);
    if (!list.FirstPageMs() || (named && list.MesgName() != name))
        return std::nullopt;
    return TListLoad{*list.FirstPageMs(), load};
}

void BM_LoadWithoutList(benchmark::State& state)
{
    const TStoreId folder = PrepareFolder(state);
    const int count = static_cast<int>(state.range(0));
    std::vector<double> loads;
    for (auto _ : state) {
        const std::optional<double> load = LoadWithoutList(state, folder, count);
        if (!load)
            state.SkipWithError("the load did not complete");
        loads.push_back(load.value_or(0));
        state.SetIterationTime(loads.back() / 1e3);
    }
    state.counters["load_median_ms"] = Median(loads);
}

void BM_LoadWithList(benchmark::State& state)
{
    const TStoreId folder = PrepareFolder(state);
    const int count = static_cast<int>(state.range(0));
    std::vector<double> firstPages;
    std::vector<double> loads;
    std::vector<double> references;
    std::vector<double> ratios;
    bool listFirst = false;
    for (auto _ : state) {
        std::optional<TListLoad> load;
        std::optional<double> reference;
        if (listFirst)
            load = LoadWithList(state, folder, count);
        reference = LoadWithoutList(state, folder, count);
        if (!listFirst)
            load = LoadWithList(state, folder, count);
        listFirst = !listFirst;
        if (!load || !reference)
            state.SkipWithError("a load did not complete");
        firstPages.push_back(load ? load->FirstPageMs : 0);
        loads.push_back(load ? load->LoadMs : 0);
        references.push_back(reference.value_or(0));
        ratios.push_back(load && reference ? load->LoadMs / *reference : 0);
        state.SetIterationTime(loads.back() / 1e3);
    }
    state.counters["first_page_median_ms"] = Median(firstPages);
    state.counters["load_median_ms"] = Median(loads);
    state.counters["reference_median_ms"] = Median(references);
    state.counters["overhead_pct"] = 100 * (Median(ratios) - 1);
}

// Arguments: messages, first_open and, with a list, named.
void Cases(benchmark::internal::Benchmark* benchmark, const std::vector<int64_t>& args)
{
    std::vector<std::string> names{"messages", "first_open", "named"};
    names.resize(args.size());
    benchmark->ArgNames(names)->Args(args)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
}

using TBenchmark = benchmark::internal::Benchmark;
// Side by side: the cases with a list right after the same case without one.
BENCHMARK(BM_LoadWithoutList)->Apply([](TBenchmark* b) { Cases(b, {20000, 0}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {20000, 0, 0}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {20000, 0, 1}); });
BENCHMARK(BM_LoadWithoutList)->Apply([](TBenchmark* b) { Cases(b, {40000, 0}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {40000, 0, 0}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {40000, 0, 1}); });
BENCHMARK(BM_LoadWithoutList)->Apply([](TBenchmark* b) { Cases(b, {20000, 1}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {20000, 1, 0}); });
BENCHMARK(BM_LoadWithoutList)->Apply([](TBenchmark* b) { Cases(b, {40000, 1}); });
BENCHMARK(BM_LoadWithList)->Apply([](TBenchmark* b) { Cases(b, {40000, 1, 0}); });

} // namespace
