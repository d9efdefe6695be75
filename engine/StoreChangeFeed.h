#pragma once

#include "engine/SqlDatabase.h"
#include "engine/StoreChangeLog.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Delivers the store's change log to this process, once per change and in
// commit order, whoever made the change. One feed serves every connection
// of this process to one store file. A connection that has committed
// catches up at once, so its own changes are seen before its call returns;
// changes of other processes are found by a watcher thread that asks SQLite
// on a short timer whether anyone has committed (PRAGMA data_version, which
// reads only the shared memory of the WAL) and reads the log only then.
class TStoreChangeFeed
{
public:
    // Hands one notification to the receivers of the connections this feed serves.
    using TDeliver = std::function<void(const TStoreChangeFeed&, const TStoreEvent&)>;

    // How often the watcher asks whether the store has changed.
    static constexpr int kPollMilliseconds = 200;

    // The feed of the store at `path` (an absolute path), made when none is
    // running: it then starts after the newest change, read through `db`.
    [[nodiscard]] static std::shared_ptr<TStoreChangeFeed> ForStore(const QString& path, TSqlDatabase& db,
                                                                    const TDeliver& deliver);

    // Keeps every store of this process from changing its feeds while the
    // process forks, so that a child never inherits a registry caught half-way.
    static void LockRegistry();
    static void UnlockRegistry();

    // The feed running for the store at `path`, if any.
    [[nodiscard]] static std::shared_ptr<TStoreChangeFeed> Running(const QString& path);

    TStoreChangeFeed(const QString& path, qint64 lastSequence, TDeliver deliver);
    ~TStoreChangeFeed();
    TStoreChangeFeed(const TStoreChangeFeed&) = delete;
    TStoreChangeFeed& operator=(const TStoreChangeFeed&) = delete;

    // Delivers the changes logged after the last delivered one, as `db`
    // sees them. Throws TSqlError; what was not delivered stays for later.
    void CatchUp(TSqlDatabase& db);

    // How often the watcher has read the log (not merely asked whether the
    // store changed): nothing changing must cost no reads.
    [[nodiscard]] qint64 WatcherLogReads() const { return FWatcherLogReads; }
    [[nodiscard]] qint64 WatcherPolls() const { return FWatcherPolls; }

private:
    void Watch();

    // A forked child inherits the feeds but not their watchers: it makes its own.
    const qint64 FOwnerPid;
    TDeliver FDeliver;
    std::mutex FDeliverMutex;   // held while reading and delivering
    qint64 FLastSequence;

    TSqlDatabase FWatchDb;
    std::mutex FStopMutex;
    std::condition_variable FStopSignal;
    bool FStop = false;
    std::atomic<qint64> FWatcherLogReads = 0;
    std::atomic<qint64> FWatcherPolls = 0;
    std::thread FWatcher;
};
