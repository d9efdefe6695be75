// What one folder-changed notification costs an open folder model: reading
// the folder's properties again and finding its parent. The store holds
// 10,000 or 50,000 messages in the open folder; the cost must not grow with them.

#include "store/OEFolders.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

struct TFilledStore {
    QTemporaryDir Dir;
    QString Path;

    explicit TFilledStore(int count)
        : Path(Dir.filePath(QStringLiteral("store.db")))
    {
        TStoreNamespace store;
        store.Initialize(Path);
        std::unique_ptr<TStoreFolder> inbox;
        store.OpenFolder(1, 0, inbox);
        TStoreId work = kNoStoreId;
        store.CreateFolder(1, "Work", 0, &work);
        for (int i = 0; i < count; ++i)
            inbox->SaveMessage("Subject: " + QByteArray::number(i) + "\r\n\r\nbody\r\n", i % 3 ? 0 : kMsgUnread, nullptr);
    }
};

TFilledStore& StoreWith(int count)
{
    static std::map<int, std::unique_ptr<TFilledStore>> stores;
    auto& store = stores[count];
    if (!store)
        store = std::make_unique<TFilledStore>(count);
    return *store;
}

void BM_FolderChangedAnswer(benchmark::State& state)
{
    const TFilledStore& store = StoreWith(static_cast<int>(state.range(0)));
    qputenv("VELLUMO_STORE", QFile::encodeName(store.Path));
    TOEFolders model;
    model.SetFolderId(1);
    for (auto _ : state) {
        model.UpdateFolderInfo();
        benchmark::DoNotOptimize(model.ParentId());
    }
    state.counters["messages"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_FolderChangedAnswer)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

} // namespace
