// Opening a folder of 20,000 messages with the message list attached: the
// time to the first painted page, and to the last message listed in sorted
// order, against the same load without a list in the same run.

#include "bench/support/SyntheticMail.h"
#include "messages/MesgFields.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/mesglist/MesgListView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kMessages = 20000;
constexpr TStoreId kInbox = 1;
constexpr int kTimeoutMs = 600000;

struct TBenchStore {
    QTemporaryDir Dir;

    TBenchStore()
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(Dir.filePath(QStringLiteral("store.db"))));
        TStoreNamespace store;
        store.Initialize();
        std::unique_ptr<TStoreFolder> inbox;
        store.OpenFolder(kInbox, 0, inbox);
        for (const QByteArray& message : SyntheticMessages({kMessages, 6000, 7}))
            inbox->SaveMessage(message, kMsgUnread, nullptr);
    }
};

// One store for both benchmarks, so that they load the same folder.
void EnsureStore()
{
    static const TBenchStore store;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
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

// The collection alone, sorted as the list sorts it by default.
void BM_LoadWithoutList(benchmark::State& state)
{
    EnsureStore();
    std::vector<double> loads;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        TOeMesgItems items;
        items.SetSortOrder({msSubject, false, {mcSubject, mcFromRealName, mcFromEmail}});
        items.SetFolderId(kInbox);
        if (!items.WaitUntilParsed(kTimeoutMs) || !Await([&] { return !items.LoadRunning(); }) ||
            items.Count() != kMessages)
            state.SkipWithError("the load did not complete");
        loads.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        state.SetIterationTime(loads.back() / 1e3);
        state.PauseTiming();
        items.SetControl(nullptr);
        state.ResumeTiming();
    }
    state.counters["load_median_ms"] = Median(loads);
}
BENCHMARK(BM_LoadWithoutList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The list shown, its collection handed over, then the folder chosen.
void BM_LoadWithList(benchmark::State& state)
{
    EnsureStore();
    std::vector<double> firstPages;
    std::vector<double> loads;
    for (auto _ : state) {
        TMesgListView list;
        list.resize(1000, 700);
        list.show();
        list.SetMessages(std::make_unique<TOeMesgItems>());
        auto& items = static_cast<TOeMesgItems&>(*list.Messages());
        QCoreApplication::processEvents();

        QElapsedTimer clock;
        clock.start();
        items.SetFolderId(kInbox);
        if (!Await([&] { return list.ItemCount() >= std::min(list.RowsPerPage(), kMessages); }))
            state.SkipWithError("no page was listed");
        list.viewport()->repaint();
        firstPages.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (!items.WaitUntilParsed(kTimeoutMs) || !Await([&] {
                return !items.LoadRunning() && list.ItemCount() == kMessages && list.UpdateCount() == 0;
            }))
            state.SkipWithError("the load did not complete");
        list.viewport()->repaint();
        loads.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        state.SetIterationTime(loads.back() / 1e3);
    }
    state.counters["first_page_median_ms"] = Median(firstPages);
    state.counters["load_median_ms"] = Median(loads);
}
BENCHMARK(BM_LoadWithList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
