#pragma once

#include "base/DispatchThread.h"
#include "base/SyncItems.h"
#include "engine/StoreTypes.h"
#include "messages/ListFields.h"

#include <QElapsedTimer>
#include <QHash>

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class TOeMesgItem;
class TOeMesgItems;

// Requests of the parser thread: parse an item, a load starts, a load ends.
inline constexpr int kParseItemRequest = 1213;
inline constexpr int kLoadStartsRequest = 1214;
inline constexpr int kLoadEndsRequest = 1215;
// Posted by the parser thread to its collection: derived list fields wait
// to be kept in the store (which only the main thread may call).
inline constexpr int kKeepListFieldsRequest = 1217;

// The background thread of a store collection: it derives the list fields
// of queued messages and puts them at their sorted places. A new load
// raises the discard flag, so that items still queued from the load before
// are dropped, until the thread reaches the new load's start.
//
// The requests wait in one ordered queue; the thread is woken by one posted
// event when the queue stops being empty, and then works through it, so a
// load of many messages costs one wake-up, not one per message.
//
// A new item waits outside the collection until it is listed. What the store
// announces meanwhile about its message (deleted, marked read or unread) is
// kept beside the queue and applied when the item joins the list. New items
// join in batches (see MergeDue), each placed in one pass, so that listing a
// folder costs O(n log n) however large it is; the list shown is in order
// at every moment.
//
// A message comes either with its source, which the thread parses (and then
// lets go) and whose fields it hands back to be kept in the store, or with
// the fields kept before.
class TParserThread : public TDispatchThread
{
public:
    explicit TParserThread(TOeMesgItems& items);

    // What comes with a queued message: its source, or its fields kept in
    // the store. With neither, the item's own source is parsed.
    struct TPayload {
        QByteArray Source;
        std::optional<TListFields> Fields;
    };

    // Main thread. Queues items that are not in the collection yet (the
    // queue owns them until the thread lists or drops them) ...
    void QueueNew(std::vector<std::pair<std::unique_ptr<TOeMesgItem>, TPayload>> items);
    // True while a new item of the running load waits for this message.
    [[nodiscard]] bool IsQueuedNew(TStoreId id);
    // The same for each of the messages, under one lock.
    [[nodiscard]] std::vector<bool> AreQueuedNew(const std::vector<TStoreId>& ids);
    // The store deleted these messages: their waiting new items are dropped.
    void WithdrawQueuedNew(const TMessageIdList& ids);
    // The store changed these messages' unread state: their waiting new
    // items join the list with it.
    void MarkQueuedNew(const TMessageIdList& ids, bool unread);
    // ... or one that is (to be parsed and placed again).
    void QueueListed(TOeMesgItem* item, TPayload payload = {});
    // A load starts: drop what is queued before it, then count afresh. The
    // fields derived from now on are derived under `fieldsKey` (the options
    // in force when the load began).
    void BeginLoad(const QByteArray& fieldsKey);
    // The load has queued its last item.
    void EndLoad();
    // Drops every queued item from now on, until the next load starts.
    void Discard() { FDiscard.store(true); }
    // The item left the collection: it is no longer parsed.
    void Forget(const TSyncItem* item);
    // Frees every queued item that is not in the collection.
    void DrainQueue();

    // Main thread: false while the sources waiting in the queue fill more
    // memory than a load may hold; waits up to `timeoutMs` for room.
    bool WaitForRoom(int timeoutMs);
    // Main thread: the list fields derived since the last call, each with
    // the key of the load it was derived in, to be kept.
    struct TDerived {
        QByteArray Key;
        TListFieldsRecord Record;
    };
    [[nodiscard]] std::vector<TDerived> TakeRecords();
    // True while derived fields wait to be taken.
    [[nodiscard]] bool RecordsWaiting() const { return FRecordsWaiting.load() > 0; }

    // True once the thread has reached the end of the newest load.
    [[nodiscard]] bool LoadEnded() const;
    bool WaitLoadEnded(int timeoutMs);
    // True when every request queued so far has been handled and its item
    // listed, including messages that arrived after the load's end was queued.
    [[nodiscard]] bool Idle() const { return FUnfinished.load() == 0 && FPendingCount.load() == 0; }
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
        std::unique_ptr<TOeMesgItem> Owned;   // set while the item is not in the collection
        TSyncItemRef Reference;               // a listed item's, taken with it from the queue
        TPayload Payload;
        unsigned Load = 0;                    // the load a start or end request belongs to
        QByteArray FieldsKey;                 // a start request's
    };

    // Appends requests; wakes the thread when the queue was empty.
    void Push(std::list<TRequest> requests);
    // The next request, with a reference on a listed item so that a removal
    // meanwhile cannot free it; false when the queue is empty.
    bool Pop(TRequest& request);
    // Handles one request; true when it refreshed the list (the end of the newest load).
    bool Handle(TRequest request);
    void Parse(TRequest& request);
    // Fills the item's list fields from its payload; returns its caption
    // (the text event's answer, when the list has one).
    QString Derive(TRequest& request);
    // Removes a listed item from the collection; an owned one is freed with the request.
    void Drop(TRequest& request);
    // Takes what was announced about an owned item's message (queue lock
    // held); none when a later item for the message replaced it.
    std::optional<TQueuedNew> TakeQueuedNew(const TOeMesgItem* item);
    // Whether the new items waiting to be listed should join the list now.
    [[nodiscard]] bool MergeDue(bool queueEmpty) const;
    // Lists the waiting new items (or drops them, when discarding).
    void Merge();
    // Frees the spent queue nodes here and now.
    void ReleaseSpent();
    // Asks the main thread to keep the derived fields, once per batch.
    void PostRecords();
    // True when the load is the newest: it has ended, and the list is refreshed.
    bool EndOfLoad(unsigned load);
    [[nodiscard]] unsigned NewestLoad() const;

    TOeMesgItems& FItems;
    std::mutex FQueueMutex;
    std::list<TRequest> FQueue;
    // Nodes of requests taken from the queue, freed by the thread that made
    // them when it queues again: memory freed by another thread than the
    // one that allocated it waits for that thread's allocator lock.
    std::list<TRequest> FSpent;
    QHash<TStoreId, TQueuedNew> FQueuedNew;   // under FQueueMutex
    std::atomic<bool> FDiscard{false};
    std::atomic<int> FUnfinished{0};          // queued or being handled
    std::atomic<int> FParsed{0};

    // Sources waiting in the queue, in bytes, and the main thread waiting for room.
    std::atomic<qint64> FQueuedBytes{0};
    std::condition_variable FRoom;

    // Thread only: parsed new items waiting to be listed together.
    std::vector<std::unique_ptr<TOeMesgItem>> FPending;
    std::atomic<int> FPendingCount{0};
    int FListedCount = 0;                     // the list's size at the last merge
    QElapsedTimer FSinceMerge;
    bool FLoadRunning = false;

    QByteArray FFieldsKey;                    // thread only: the running load's
    std::mutex FRecordsMutex;
    std::vector<TDerived> FRecords;           // under FRecordsMutex
    std::atomic<int> FRecordsWaiting{0};      // derived and not yet taken
    std::atomic<bool> FRecordsPosted{false};

    mutable std::mutex FLoadMutex;
    std::condition_variable FLoadChanged;
    unsigned FLoad = 0;                       // the newest load (under FLoadMutex)
    bool FLoadEnded = true;                   // the newest load has ended (under FLoadMutex)
};
