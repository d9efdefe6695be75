// The store's share of opening a folder: enumerating a folder of 20,000
// messages and reading every source, and saving messages one by one.

#include "bench/support/SyntheticMail.h"
#include "engine/StoreNamespace.h"

#include <QIODevice>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct TFilledStore {
    QTemporaryDir Dir;
    TStoreNamespace Store;
    std::unique_ptr<TStoreFolder> Inbox;
    qint64 Bytes = 0;

    explicit TFilledStore(int count)
    {
        Store.Initialize(Dir.filePath(QStringLiteral("store.db")));
        Store.OpenFolder(1, 0, Inbox);
        for (const QByteArray& message : SyntheticMessages({count, 6000, 1})) {
            Inbox->SaveMessage(message, kMsgUnread, nullptr);
            Bytes += message.size();
        }
    }
};

void BM_EnumerateAndReadFolder(benchmark::State& state)
{
    static TFilledStore store(20000);
    for (auto _ : state) {
        TMessageProps props;
        TEnumHandle handle = 0;
        int count = 0;
        for (TStoreResult r = store.Inbox->GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
             r = store.Inbox->GetNextMessage(handle, 0, props)) {
            std::unique_ptr<QIODevice> stream;
            store.Inbox->OpenMessage(props.Id, stream);
            benchmark::DoNotOptimize(stream->size());
            ++count;
        }
        store.Inbox->GetMessageClose(handle);
        state.counters["messages"] = count;
    }
    state.SetItemsProcessed(state.iterations() * 20000);
    state.SetBytesProcessed(state.iterations() * store.Bytes);
}
BENCHMARK(BM_EnumerateAndReadFolder)->Unit(benchmark::kMillisecond);

void BM_SaveMessage(benchmark::State& state)
{
    QTemporaryDir dir;
    TStoreNamespace store;
    store.Initialize(dir.filePath(QStringLiteral("store.db")));
    std::unique_ptr<TStoreFolder> inbox;
    store.OpenFolder(1, 0, inbox);
    const std::vector<QByteArray> messages = SyntheticMessages({1000, 6000, 2});
    size_t next = 0;
    for (auto _ : state) {
        inbox->SaveMessage(messages[next++ % messages.size()], 0, nullptr);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveMessage);

} // namespace

BENCHMARK_MAIN();
