// Importing a mailbox into a folder that a message list shows, timed as the
// user waits for it: from the start of the import until the open list holds
// every new message, parsed and in its sorted place. Each run starts from a
// new store, so that every run imports into the same state.

#include "base/FileStream.h"
#include "bench/support/SyntheticMail.h"
#include "messages/Mailbox.h"
#include "messages/MboxFormat.h"
#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr int kAverageSize = 4000;
constexpr uint32_t kSeed = 31;

// One mailbox file per message count, written once.
class TMailboxFiles
{
public:
    const QString& FileFor(int count)
    {
        auto found = FFiles.find(count);
        if (found != FFiles.end())
            return found->second;
        const QString path = FDir.filePath(QStringLiteral("import-%1.mbox").arg(count));
        TFileStream file(path, TFileStream::TMode::Create);
        TMboxWriter writer(file);
        for (int i = 0; i < count; ++i)
            writer.Append("bench@example.org", 0, SyntheticMessage(i, kAverageSize, kSeed));
        writer.Flush();
        return FFiles.emplace(count, path).first->second;
    }

    [[nodiscard]] QString NewStorePath() { return FDir.filePath(QStringLiteral("store-%1.db").arg(++FStores)); }

private:
    QTemporaryDir FDir;
    std::map<int, QString> FFiles;
    int FStores = 0;
};

TMailboxFiles& Files()
{
    static TMailboxFiles files;
    return files;
}

// True when the list holds `count` items and every one of them is parsed.
bool ListComplete(TOeMesgItems& items, int count)
{
    TReadGuard<const TSyncItems> guard(items);
    if (items.Count() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (!static_cast<const TMesgItem*>(items.Item(i))->Parsed())
            return false;
    }
    return true;
}

void RemoveStore(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

void BM_ImportIntoOpenFolder(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const QString mailbox = Files().FileFor(count);
    double importCallMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString store = Files().NewStorePath();
        qputenv("VELLUMO_STORE", QFile::encodeName(store));
        {
            TOeMesgItems items;
            const TStoreId folder = items.Folders().AddFolder(1, "Imported");
            items.SetFolderId(folder);
            items.WaitUntilParsed(60000);
            state.ResumeTiming();

            QElapsedTimer clock;
            clock.start();
            const int added = ImportMailbox(items, mailbox, false);
            importCallMs += static_cast<double>(clock.elapsed());
            // What the user waits for: the list showing every new message.
            while (!ListComplete(items, count))
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

            state.PauseTiming();
            if (added != count)
                state.SkipWithError("the import did not add every message");
        }
        RemoveStore(store);
        state.ResumeTiming();
    }
    state.counters["messages"] = count;
    state.counters["import_call_ms"] = importCallMs / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ImportIntoOpenFolder)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
