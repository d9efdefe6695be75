#include "engine/StoreChangeFeed.h"

#include <QtDebug>

#include <map>

#include <unistd.h>

namespace {

std::mutex gFeedsMutex;
std::map<QString, std::weak_ptr<TStoreChangeFeed>> gFeeds;

} // namespace

std::shared_ptr<TStoreChangeFeed> TStoreChangeFeed::ForStore(const QString& path, TSqlDatabase& db,
                                                             const TDeliver& deliver)
{
    std::lock_guard lock(gFeedsMutex);
    std::erase_if(gFeeds, [](const auto& entry) { return entry.second.expired(); });
    std::weak_ptr<TStoreChangeFeed>& slot = gFeeds[path];
    std::shared_ptr<TStoreChangeFeed> feed = slot.lock();
    if (!feed || feed->FOwnerPid != getpid()) {
        feed = std::make_shared<TStoreChangeFeed>(path, TStoreChangeLog::LastSequence(db), deliver);
        slot = feed;
    }
    return feed;
}

void TStoreChangeFeed::LockRegistry()
{
    gFeedsMutex.lock();
}

void TStoreChangeFeed::UnlockRegistry()
{
    gFeedsMutex.unlock();
}

std::shared_ptr<TStoreChangeFeed> TStoreChangeFeed::Running(const QString& path)
{
    std::lock_guard lock(gFeedsMutex);
    const auto it = gFeeds.find(path);
    std::shared_ptr<TStoreChangeFeed> feed = it == gFeeds.end() ? nullptr : it->second.lock();
    return feed && feed->FOwnerPid == getpid() ? feed : nullptr;
}

TStoreChangeFeed::TStoreChangeFeed(const QString& path, qint64 lastSequence, TDeliver deliver)
    : FOwnerPid(getpid())
    , FDeliver(std::move(deliver))
    , FLastSequence(lastSequence)
{
    // The watcher has a connection of its own: SQLite's data version tells
    // a connection about commits made through any other one.
    try {
        FWatchDb.Open(path, TSqlDatabase::TOpenMode::Existing);
    } catch (const TSqlError& error) {
        // A store on read-only media never changes: there is nothing to watch.
        qInfo("Changes of other programs to the store are not watched: %s", error.Message.constData());
        return;
    }
    FWatcher = std::thread(&TStoreChangeFeed::Watch, this);
}

TStoreChangeFeed::~TStoreChangeFeed()
{
    {
        std::lock_guard lock(FStopMutex);
        FStop = true;
    }
    FStopSignal.notify_all();
    if (FWatcher.joinable())
        FWatcher.join();
    FWatchDb.Close();
}

void TStoreChangeFeed::CatchUp(TSqlDatabase& db)
{
    std::lock_guard lock(FDeliverMutex);
    TSqlStatement select = db.Prepare("SELECT seq, events FROM changes WHERE seq > ? ORDER BY seq");
    select.Bind(1, FLastSequence);
    while (select.Step()) {
        TStoreEvents events;
        if (!TStoreChangeLog::Decode(select.Blob(1), events))
            qWarning("A damaged entry of the store's change log was skipped");
        for (const auto& event : events)
            FDeliver(*this, *event);
        FLastSequence = select.Int(0);
    }
}

void TStoreChangeFeed::Watch()
{
    qint64 seenVersion = -1;
    std::unique_lock lock(FStopMutex);
    while (!FStopSignal.wait_for(lock, std::chrono::milliseconds(kPollMilliseconds), [this] { return FStop; })) {
        lock.unlock();
        try {
            ++FWatcherPolls;
            const qint64 version = FWatchDb.QueryInt("PRAGMA data_version");
            if (version != seenVersion) {
                ++FWatcherLogReads;
                CatchUp(FWatchDb);
                seenVersion = version;
            }
        } catch (const TSqlError& error) {
            // A busy or briefly unreadable store: the next round tries again.
            qDebug("Reading the store's change log failed: %s", error.Message.constData());
        }
        lock.lock();
    }
}
