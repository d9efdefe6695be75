// Opening a folder of 20,000 messages: from setting the folder id to the end
// of the load, every item parsed and in sorted order.

#include "bench/support/SyntheticMail.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kMessages = 20000;

struct TBenchStore {
    QTemporaryDir Dir;
    qint64 Bytes = 0;

    TBenchStore()
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(Dir.filePath(QStringLiteral("store.db"))));
        TStoreNamespace store;
        store.Initialize();
        std::unique_ptr<TStoreFolder> inbox;
        store.OpenFolder(1, 0, inbox);
        for (const QByteArray& message : SyntheticMessages({kMessages, 6000, 7})) {
            inbox->SaveMessage(message, kMsgUnread, nullptr);
            Bytes += message.size();
        }
    }
};

void BM_OpenFolder(benchmark::State& state)
{
    static TBenchStore store;
    for (auto _ : state) {
        TOeMesgItems items;
        items.SetFolderId(1);
        if (!items.WaitUntilParsed(600000) || items.Count() != kMessages)
            state.SkipWithError("the load did not complete");
        state.PauseTiming();
        items.SetControl(nullptr);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.SetBytesProcessed(state.iterations() * store.Bytes);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_OpenFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
