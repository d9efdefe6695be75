// How soon a change committed through another connection to the store (as
// another program makes it) reaches a receiver of this one: the watcher's
// share of a live update. Reported as the median and the slowest of the
// iterations, in milliseconds.

#include "engine/StoreChangeLog.h"
#include "engine/StoreNamespace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <algorithm>

namespace {

class TArrivals : public QObject
{
public:
    int Count = 0;

protected:
    bool event(QEvent* event) override
    {
        if (!TStoreEvent::IsStoreEvent(event))
            return QObject::event(event);
        ++Count;
        return true;
    }
};

void BM_ChangeOfAnotherConnectionReachesAReceiver(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("store.db"));
    TStoreNamespace store;
    store.Initialize(path);
    TArrivals arrivals;
    store.RegisterNotification(0, &arrivals);
    sqlite3* writer = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &writer);
    sqlite3_busy_timeout(writer, 5000);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(writer, "INSERT INTO changes(at, events) VALUES (strftime('%s', 'now'), ?)", -1, &insert, nullptr);
    TStoreEvents events;
    auto event = std::make_unique<TStoreEvent>(seFolderChanged, 1);
    event->NotifyType = fnPropsChanged;
    events.push_back(std::move(event));
    const QByteArray row = TStoreChangeLog::Encode(events);

    std::vector<double> latencies;
    for (auto _ : state) {
        // Commits land at any point of the watcher's round.
        QThread::msleep(static_cast<unsigned long>(37 * latencies.size() % 200));
        const int before = arrivals.Count;
        QElapsedTimer timer;
        timer.start();
        sqlite3_bind_blob(insert, 1, row.constData(), static_cast<int>(row.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        while (arrivals.Count == before && timer.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QThread::usleep(500);
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["max_ms"] = latencies.back();
    sqlite3_finalize(insert);
    sqlite3_close(writer);
    store.UnregisterNotification(&arrivals);
}
BENCHMARK(BM_ChangeOfAnotherConnectionReachesAReceiver)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace
