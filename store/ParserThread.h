#pragma once

#include "base/DispatchThread.h"
#include "base/SyncItems.h"
#include "engine/StoreTypes.h"

#include <QHash>

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <optional>

class TOeMesgItem;
class TOeMesgItems;

// Requests of the parser thread: parse an item, a load starts, a load ends.
inline constexpr int kParseItemRequest = 1213;
inline constexpr int kLoadStartsRequest = 1214;
inline constexpr int kLoadEndsRequest = 1215;

// The background thread of a store collection: it parses queued messages,
// fills their list fields and puts them at their sorted place. A new load
// raises the discard flag, so that items still queued from the load before
// are dropped, until the thread reaches the new load's start.
//
// The requests wait in one ordered queue; the thread is woken by one posted
// event when the queue stops being empty, and then works through it, so a
// load of many messages costs one wake-up, not one per message.
//
// A new item waits outside the collection until it is parsed. What the store
// announces meanwhile about its message (deleted, marked read or unread) is
// kept beside the queue and applied when the item would join the list.
class TParserThread : public TDispatchThread
{
public:
    explicit TParserThread(TOeMesgItems& items);

    // Main thread. Queues an item that is not in the collection yet (the
    // queue owns it until the thread inserts or drops it) ...
    void QueueNew(std::unique_ptr<TOeMesgItem> item);
    // True while a new item of the running load waits for this message.
    [[nodiscard]] bool IsQueuedNew(TStoreId id);
    // The store deleted these messages: their waiting new items are dropped.
    void WithdrawQueuedNew(const TMessageIdList& ids);
    // The store changed these messages' unread state: their waiting new
    // items join the list with it.
    void MarkQueuedNew(const TMessageIdList& ids, bool unread);
    // ... or one that is (to be parsed and placed again).
    void QueueListed(TOeMesgItem* item);
    // A load starts: drop what is queued before it, then count afresh.
    void BeginLoad();
    // The load has queued its last item.
    void EndLoad();
    // Drops every queued item from now on, until the next load starts.
    void Discard() { FDiscard.store(true); }
    // The item left the collection: it is no longer parsed.
    void Forget(const TSyncItem* item);
    // Frees every queued item that is not in the collection.
    void DrainQueue();

    // True once the thread has reached the end of the newest load.
    [[nodiscard]] bool LoadEnded() const;
    bool WaitLoadEnded(int timeoutMs);
    // True when every request queued so far has been handled, including
    // messages that arrived after the load's end was queued.
    [[nodiscard]] bool Idle() const { return FUnfinished.load() == 0; }
    [[nodiscard]] int ParsedCount() const { return FParsed.load(); }

protected:
    ~TParserThread() override;
    bool HandleMessage(QEvent* event) override;

private:
    // What the store announced about the message of a waiting new item.
    struct TQueuedNew {
        const TOeMesgItem* Item = nullptr;
        unsigned Load = 0;
        bool Withdrawn = false;
        std::optional<bool> Unread;
    };

    struct TRequest {
        int Kind = kParseItemRequest;
        TOeMesgItem* Item = nullptr;
        std::unique_ptr<TSyncItem> Owned;   // set while the item is not in the collection
        TSyncItemRef Reference;             // a listed item's, taken with it from the queue
        unsigned Load = 0;                  // the load a start or end request belongs to
    };

    // Appends a request; wakes the thread when the queue was empty.
    void Push(TRequest request);
    // The next request, with a reference on a listed item so that a removal
    // meanwhile cannot free it; false when the queue is empty.
    bool Pop(TRequest& request);
    void Handle(TRequest request);
    void Parse(TRequest& request);
    // Removes a listed item from the collection; an owned one is freed with the request.
    void Drop(TRequest& request);
    // Takes what was announced about an owned item's message (queue lock
    // held); none when a later item for the message replaced it.
    std::optional<TQueuedNew> TakeQueuedNew(const TOeMesgItem* item);
    void EndOfLoad(unsigned load);
    [[nodiscard]] unsigned NewestLoad() const;

    TOeMesgItems& FItems;
    std::mutex FQueueMutex;
    std::list<TRequest> FQueue;
    QHash<TStoreId, TQueuedNew> FQueuedNew;   // under FQueueMutex
    std::atomic<bool> FDiscard{false};
    std::atomic<int> FUnfinished{0};          // queued or being handled
    std::atomic<int> FParsed{0};
    mutable std::mutex FLoadMutex;
    std::condition_variable FLoadChanged;
    unsigned FLoad = 0;                       // the newest load (under FLoadMutex)
    bool FLoadEnded = true;                   // the newest load has ended (under FLoadMutex)
};
