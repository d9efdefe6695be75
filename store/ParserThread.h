#pragma once

#include "base/DispatchThread.h"
#include "base/SyncItems.h"

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>

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
class TParserThread : public TDispatchThread
{
public:
    explicit TParserThread(TOeMesgItems& items);

    // Main thread. Queues an item that is not in the collection yet (the
    // queue owns it until the thread inserts or drops it) ...
    void QueueNew(std::unique_ptr<TOeMesgItem> item);
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

    // True once the thread has reached the end of the last load.
    [[nodiscard]] bool LoadEnded() const;
    bool WaitLoadEnded(int timeoutMs);
    [[nodiscard]] int ParsedCount() const { return FParsed.load(); }

protected:
    ~TParserThread() override;
    bool HandleMessage(QEvent* event) override;

private:
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
    void SetLoadEnded(bool ended);

    TOeMesgItems& FItems;
    std::mutex FQueueMutex;
    std::list<TRequest> FQueue;
    unsigned FLoad = 0;                     // main thread: the newest load
    std::atomic<unsigned> FCurrentLoad{0};  // the load the thread works on
    std::atomic<bool> FDiscard{false};
    std::atomic<int> FParsed{0};
    mutable std::mutex FLoadMutex;
    std::condition_variable FLoadChanged;
    bool FLoadEnded = true;
};
