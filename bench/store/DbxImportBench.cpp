// Import of a generated Outlook Express store of 1 GB (Folders.dbx and ten
// folder files of made-up mail) into a fresh store, against `cp -r` of the
// same files in the same run. Each repetition copies (plain, and followed by
// `sync` of the copy, since the store's writes reach the disk), inserts the
// same messages straight into SQLite (the floor of any import into the
// store), then imports; the counters give the times, the import's
// throughput as a share of each copy's and of the floor's, and the floor's
// as a share of the plain copy's.

#include "bench/support/SqliteFloor.h"
#include "bench/support/SyntheticMail.h"
#include "store/DbxImporter.h"
#include "store/OEFolders.h"
#include "tests/support/DbxFixtureWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr qint64 kSetBytes = 1000LL * 1000 * 1000;
constexpr int kFiles = 10;
constexpr int kAverageSize = 21500;
constexpr uint32_t kSeed = 24;

struct TDbxSet {
    QTemporaryDir Dir;
    QString Store;          // the generated store folder
    qint64 Bytes = 0;       // of all its files
    int Messages = 0;
    std::vector<QByteArray> Sources;   // of every message, for the floor

    TDbxSet() : Store(Dir.filePath(QStringLiteral("oe")))
    {
        std::vector<TDbxFixtureFolder> extra;
        std::vector<QString> files;
        for (int i = 0; i < kFiles; ++i) {
            const QByteArray name = "Folder " + QByteArray::number(i);
            extra.push_back({quint32(10 + i), 1, name, name + ".dbx", 0, 3});
            files.push_back(QString::fromLatin1(name + ".dbx"));
        }
        QDir().mkpath(Store);
        Write(QStringLiteral("Folders.dbx"), WriteDbxFolderFile(StandardDbxFolders(extra)));
        const qint64 perFile = kSetBytes / kFiles;
        for (const QString& file : files) {
            std::vector<TDbxFixtureMessage> messages;
            for (qint64 size = 0; size < perFile; ++Messages) {
                TDbxFixtureMessage message;
                message.Source = SyntheticMessage(Messages, kAverageSize, kSeed);
                message.Flags = Messages % 3 == 0 ? 0 : 0x80;
                size += message.Source.size() + message.Source.size() / 31;   // about the blocks' headers
                Sources.push_back(message.Source);
                messages.push_back(std::move(message));
            }
            Write(file, WriteDbxMessageFile(messages));
        }
    }

    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(QDir(Store).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
        Bytes += bytes.size();
    }
};

TDbxSet& Set()
{
    static TDbxSet set;
    return set;
}

// Flushes what earlier steps left in the page cache, so that no step pays
// for the writes of the one before it. Not timed.
void Settle()
{
    if (std::system("sync") != 0)
        std::abort();
}

// `cp -r` of the set; with `durable`, followed by `sync` of the copied files,
// so that the copy is on the disk as the store's writes are.
double CopySeconds(const QString& target, bool durable)
{
    QByteArray command = "cp -r '" + QFile::encodeName(Set().Store) + "' '" + QFile::encodeName(target) + "'";
    if (durable)
        command += " && sync '" + QFile::encodeName(target) + "'/*";
    Settle();
    QElapsedTimer clock;
    clock.start();
    if (std::system(command.constData()) != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

double ImportSeconds(const QString& store)
{
    qputenv("VELLUMO_STORE", QFile::encodeName(store));
    TOEFolders folders;
    Settle();
    QElapsedTimer clock;
    clock.start();
    const TDbxImportSummary summary = TDbxImporter(folders, kRootFolderId).Import({Set().Store});
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return summary.Complete() && summary.Imported() == Set().Messages ? seconds : -1;
}

void BM_ImportAgainstCp(benchmark::State& state)
{
    Set();
    for (auto _ : state) {
        const QTemporaryDir work(Set().Dir.filePath(QStringLiteral("run-XXXXXX")));
        const double cp = CopySeconds(work.filePath(QStringLiteral("copy")), false);
        const double durableCp = CopySeconds(work.filePath(QStringLiteral("durable copy")), true);
        Settle();
        const double floor = SqliteFloorSeconds(work.filePath(QStringLiteral("floor.db")), Set().Sources);
        const double import = ImportSeconds(work.filePath(QStringLiteral("store.db")));
        if (cp <= 0 || durableCp <= 0 || floor <= 0 || import <= 0) {
            state.SkipWithError("a copy or the import failed");
            return;
        }
        state.SetIterationTime(import);
        state.counters["cp_s"] = cp;
        state.counters["cp_sync_s"] = durableCp;
        state.counters["import_s"] = import;
        state.counters["import_share_of_cp"] = cp / import;
        state.counters["import_share_of_cp_sync"] = durableCp / import;
        state.counters["floor_s"] = floor;
        state.counters["import_share_of_floor"] = floor / import;
        state.counters["floor_share_of_cp"] = cp / floor;
    }
    state.SetBytesProcessed(Set().Bytes * state.iterations());
    state.counters["set_MB"] = double(Set().Bytes) / 1e6;
    state.counters["messages"] = Set().Messages;
}
BENCHMARK(BM_ImportAgainstCp)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
