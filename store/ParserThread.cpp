#include "store/ParserThread.h"

#include "base/FastMemoryStream.h"
#include "base/PrivateMessages.h"
#include "base/TsanAnnotations.h"
#include "messages/ListFieldsRecord.h"
#include "messages/MesgErrors.h"
#include "messages/MesgSort.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

#include <QCoreApplication>

namespace {

// Sources a load may queue ahead of the parser, in bytes: the main thread
// reads on once the queue has fallen below the half of it.
constexpr qint64 kMaxQueuedBytes = 32 * 1024 * 1024;
// What a queued message costs besides its source, roughly, in bytes.
constexpr qint64 kRequestBytes = 512;
// New items are listed together once this many wait, or a quarter of the
// list's size when that is more: a folder of n messages is then listed in
// O(log n) merges of O(n) each.
constexpr size_t kMinMerge = 128;
// While the parser is busy, the waiting items are listed at least this
// often, so that a long load shows its progress; when it has caught up,
// this often.
constexpr qint64 kBusyMergeMs = 1000;
constexpr qint64 kIdleMergeMs = 200;
// Derived fields go to the main thread in batches of this many.
constexpr size_t kRecordBatch = 4096;

qint64 BytesOf(const TParserThread::TPayload& payload)
{
    return payload.Source.size() + kRequestBytes;
}

} // namespace

TParserThread::TParserThread(TOeMesgItems& items)
    : FItems(items)
{
    FSinceMerge.start();
}

TParserThread::~TParserThread()
{
    DrainQueue();
}

void TParserThread::Push(std::list<TRequest> requests)
{
    if (requests.empty())
        return;
    bool wasEmpty = false;
    std::list<TRequest> spent;
    {
        std::lock_guard lock(FQueueMutex);
        spent.swap(FSpent);
        wasEmpty = FQueue.empty();
        for (const TRequest& request : requests)
            FQueuedBytes += BytesOf(request.Payload);
        FUnfinished += static_cast<int>(requests.size());
        FQueue.splice(FQueue.end(), requests);
    }
    // The thread sleeps only after it found the queue empty under the lock.
    if (wasEmpty)
        Post(kParseItemRequest);
}

void TParserThread::QueueNew(std::vector<std::pair<std::unique_ptr<TOeMesgItem>, TPayload>> items)
{
    const unsigned load = NewestLoad();
    std::list<TRequest> requests;
    {
        std::lock_guard lock(FQueueMutex);
        for (auto& [item, payload] : items) {
            FQueuedNew.insert(static_cast<TStoreId>(item->Id()), TQueuedNew{item.get(), load, false, std::nullopt});
            TRequest& request = requests.emplace_back();
            request.Item = item.get();
            request.Owned = std::move(item);
            request.Payload = std::move(payload);
        }
    }
    Push(std::move(requests));
}

bool TParserThread::IsQueuedNew(TStoreId id)
{
    return AreQueuedNew({id}).front();
}

std::vector<bool> TParserThread::AreQueuedNew(const std::vector<TStoreId>& ids)
{
    const unsigned load = NewestLoad();
    std::vector<bool> queued(ids.size());
    std::lock_guard lock(FQueueMutex);
    for (size_t i = 0; i < ids.size(); ++i) {
        const auto found = FQueuedNew.constFind(ids[i]);
        queued[i] = found != FQueuedNew.cend() && found->Load == load && !found->Withdrawn;
    }
    return queued;
}

void TParserThread::WithdrawQueuedNew(const TMessageIdList& ids)
{
    std::lock_guard lock(FQueueMutex);
    for (TStoreId id : ids) {
        const auto found = FQueuedNew.find(id);
        if (found != FQueuedNew.end())
            found->Withdrawn = true;
    }
}

void TParserThread::MarkQueuedNew(const TMessageIdList& ids, bool unread)
{
    std::lock_guard lock(FQueueMutex);
    for (TStoreId id : ids) {
        const auto found = FQueuedNew.find(id);
        if (found != FQueuedNew.end())
            found->Unread = unread;
    }
}

std::optional<TParserThread::TQueuedNew> TParserThread::TakeQueuedNew(const TOeMesgItem* item)
{
    const auto found = FQueuedNew.find(static_cast<TStoreId>(item->Id()));
    // Another item for the same message was queued after this one (the
    // message left the folder and came back): that one is the message now.
    if (found == FQueuedNew.end() || found->Item != item)
        return std::nullopt;
    const TQueuedNew queued = *found;
    FQueuedNew.erase(found);
    return queued;
}

void TParserThread::QueueListed(TOeMesgItem* item, TPayload payload)
{
    std::list<TRequest> requests;
    TRequest& request = requests.emplace_back();
    request.Item = item;
    request.Payload = std::move(payload);
    Push(std::move(requests));
}

void TParserThread::BeginLoad(const QByteArray& fieldsKey)
{
    FDiscard.store(true);
    std::list<TRequest> requests;
    TRequest& request = requests.emplace_back();
    request.Kind = kLoadStartsRequest;
    request.FieldsKey = fieldsKey;
    {
        std::lock_guard lock(FLoadMutex);
        request.Load = ++FLoad;
        FLoadEnded = false;
    }
    Push(std::move(requests));
}

void TParserThread::EndLoad()
{
    std::list<TRequest> requests;
    TRequest& request = requests.emplace_back();
    request.Kind = kLoadEndsRequest;
    request.Load = NewestLoad();
    Push(std::move(requests));
}

unsigned TParserThread::NewestLoad() const
{
    std::lock_guard lock(FLoadMutex);
    return FLoad;
}

void TParserThread::Forget(const TSyncItem* item)
{
    std::lock_guard lock(FQueueMutex);
    FQueue.remove_if([&](const TRequest& r) {
        const bool forget = r.Item == item && !r.Owned;
        if (forget) {
            FQueuedBytes -= BytesOf(r.Payload);
            --FUnfinished;
        }
        return forget;
    });
}

void TParserThread::DrainQueue()
{
    std::list<TRequest> drained;
    {
        std::lock_guard lock(FQueueMutex);
        // The start and end requests stay: they mark where loads begin and end.
        for (auto it = FQueue.begin(); it != FQueue.end();) {
            const auto next = std::next(it);
            if (it->Item) {
                if (it->Owned)
                    TakeQueuedNew(it->Item);
                FQueuedBytes -= BytesOf(it->Payload);
                drained.splice(drained.end(), FQueue, it);
            }
            it = next;
        }
        FUnfinished -= static_cast<int>(drained.size());
    }
    FRoom.notify_all();
    // Unlisted items are freed here, outside the queue's lock.
}

bool TParserThread::WaitForRoom(int timeoutMs)
{
    std::unique_lock lock(FQueueMutex);
    return FRoom.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return FQueuedBytes.load() < kMaxQueuedBytes; });
}

std::vector<TParserThread::TDerived> TParserThread::TakeRecords()
{
    std::lock_guard lock(FRecordsMutex);
    FRecordsPosted.store(false);
    FRecordsWaiting.store(0);
    return std::exchange(FRecords, {});
}

void TParserThread::PostRecords()
{
    bool posted = false;
    if (FRecordsWaiting.load() > 0 && FRecordsPosted.compare_exchange_strong(posted, true)) {
        auto* event = new QEvent(EventType(kKeepListFieldsRequest));
        AnnotateHandOver(event);
        QCoreApplication::postEvent(&FItems, event);
    }
}

bool TParserThread::LoadEnded() const
{
    std::lock_guard lock(FLoadMutex);
    return FLoadEnded;
}

bool TParserThread::WaitLoadEnded(int timeoutMs)
{
    std::unique_lock lock(FLoadMutex);
    return FLoadChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return FLoadEnded; });
}

bool TParserThread::EndOfLoad(unsigned load)
{
    {
        std::lock_guard lock(FLoadMutex);
        // The end of a load that a newer one replaced means nothing any more:
        // the newer load may still be queuing its items.
        if (load != FLoad)
            return false;
        FLoadEnded = true;
    }
    FLoadChanged.notify_all();
    // One display update at the end refreshes the list once.
    FItems.BeginDisplayUpdate();
    FItems.EndDisplayUpdate();
    return true;
}

bool TParserThread::HandleMessage(QEvent* event)
{
    if (static_cast<int>(event->type()) != kParseItemRequest)
        return TDispatchThread::HandleMessage(event);
    TRequest request;
    // Items handled since the list was last refreshed.
    bool unshown = false;
    while (!Terminated()) {
        if (!Pop(request)) {
            // The queue ran dry: the parser has caught up with the reading.
            if (MergeDue(true))
                Merge();
            PostRecords();
            // Outside a load nobody is likely to be allocating meanwhile.
            if (!FLoadRunning)
                ReleaseSpent();
            break;
        }
        const bool parse = request.Kind == kParseItemRequest;
        if (Handle(std::move(request)))
            unshown = false;
        else
            unshown = unshown || parse;
        --FUnfinished;
        if (MergeDue(false))
            Merge();
        if (FRecordsWaiting.load() >= static_cast<int>(kRecordBatch))
            PostRecords();
    }
    // Messages that arrived outside a load (new ones, edited ones) reach the
    // list once the queue is empty: a load tells it at its end instead, and
    // what that end refreshed is not refreshed again.
    if (unshown && !Terminated() && LoadEnded()) {
        FItems.BeginDisplayUpdate();
        FItems.EndDisplayUpdate();
    }
    return true;
}

void TParserThread::ReleaseSpent()
{
    std::list<TRequest> spent;
    std::lock_guard lock(FQueueMutex);
    spent.swap(FSpent);
}

bool TParserThread::Pop(TRequest& request)
{
    bool popped = false;
    {
        std::lock_guard lock(FQueueMutex);
        while (!FQueue.empty()) {
            request = std::move(FQueue.front());
            FSpent.splice(FSpent.end(), FQueue, FQueue.begin());
            FQueuedBytes -= BytesOf(request.Payload);
            // A listed item cannot be freed while it is in the queue: its
            // removal takes it out of the queue first, under this same lock.
            if (!request.Item || request.Owned) {
                popped = true;
                break;
            }
            request.Reference = TSyncItemRef(request.Item);
            if (request.Reference) {
                popped = true;
                break;
            }
            --FUnfinished;
        }
    }
    if (FQueuedBytes.load() < kMaxQueuedBytes / 2)
        FRoom.notify_all();
    return popped;
}

bool TParserThread::Handle(TRequest request)
{
    switch (request.Kind) {
    case kLoadStartsRequest:
        // Items waiting from the load before are dropped (the discard flag is up).
        Merge();
        FDiscard.store(false);
        FParsed.store(0);
        FLoadRunning = true;
        FFieldsKey = request.FieldsKey;
        // The new load starts from an empty list: its first rows show at once.
        FListedCount = 0;
        break;
    case kLoadEndsRequest:
        Merge();
        FLoadRunning = false;
        return EndOfLoad(request.Load);
    default:
        Parse(request);
        break;
    }
    return false;
}

QString TParserThread::Derive(TRequest& request)
{
    TOeMesgItem& item = *request.Item;
    TPayload& payload = request.Payload;
    if (payload.Fields) {
        item.SetListFields(*payload.Fields);
        return {};
    }
    // The list's text event (a window's decoder) derives the fields from
    // the item's source; what it derives is not kept.
    if (FItems.OnItemText) {
        if (!payload.Source.isNull()) {
            auto source = TFastMemoryStream::ForSize(payload.Source.size());
            source->WriteBuffer(payload.Source.constData(), payload.Source.size());
            source->SetPosition(0);
            std::optional<TWriteGuard<TSyncItems>> guard;
            if (item.Listed())
                guard.emplace(FItems);
            item.SetSource(std::move(source));
        }
        return FItems.OnItemText(item);
    }
    if (item.Parsed())
        return {};
    // The source comes with the request, or the item holds it (an edited message).
    QByteArray bytes = payload.Source;
    if (bytes.isNull()) {
        TReadGuard<TSyncItems> guard(FItems);
        if (const std::shared_ptr<TFastMemoryStream>& held = item.SharedSource())
            bytes = held->ToByteArray();
    }
    if (bytes.isNull())
        return {};
    TListFields fields = ReadListFields(bytes, FItems.Parser());
    AddSubjectKeys(fields);
    item.SetListFields(fields);
    // Fields derived outside every load have no key to be kept under.
    if (FFieldsKey.isEmpty())
        return {};
    std::lock_guard lock(FRecordsMutex);
    FRecords.push_back({FFieldsKey, {static_cast<TStoreId>(item.Id()), EncodeListFields(fields)}});
    ++FRecordsWaiting;
    return {};
}

void TParserThread::Parse(TRequest& request)
{
    if (FDiscard.load()) {
        Drop(request);
        return;
    }
    try {
        const QString text = Derive(request);
        // The source has served: the list keeps the fields only.
        request.Payload.Source.clear();
        request.Item->DropSource();
        if (request.Owned) {
            // Listed with the next batch; what the store announces about its
            // message meanwhile is applied then.
            request.Item->SetCaption(text);
            FPending.push_back(std::move(request.Owned));
            ++FPendingCount;
            return;
        }
        TWriteGuard<TSyncItems> guard(FItems);
        if (FDiscard.load()) {
            Drop(request);
            return;
        }
        request.Item->SetCaption(text);
        const int index = FItems.IndexOf(request.Item);
        if (index >= 0)
            FItems.Reposition(index);
        ++FParsed;
    } catch (const Exception&) {
        QueueFileError(QString());
        Drop(request);
    }
}

bool TParserThread::MergeDue(bool queueEmpty) const
{
    if (FPending.empty())
        return false;
    // The first rows show at once.
    if (FListedCount == 0 || FPending.size() >= std::max(kMinMerge, static_cast<size_t>(FListedCount) / 4))
        return true;
    // So do items that arrive outside a load.
    if (queueEmpty && !FLoadRunning)
        return true;
    return FSinceMerge.elapsed() >= (queueEmpty ? kIdleMergeMs : kBusyMergeMs);
}

void TParserThread::Merge()
{
    if (FPending.empty())
        return;
    // Put in order before the lock is taken; under the lock the batch is
    // only checked, unless the order changed meanwhile.
    const TSortOrder order = FItems.SortOrder();
    std::stable_sort(FPending.begin(), FPending.end(), [&order](const auto& a, const auto& b) {
        return CompareMessages(*a, *b, order) < 0;
    });
    std::vector<std::unique_ptr<TSyncItem>> batch;
    batch.reserve(FPending.size());
    {
        TWriteGuard<TSyncItems> guard(FItems);
        const bool discard = FDiscard.load();
        {
            // Under the collection's lock, so that no announcement can fall
            // between taking what was announced and listing the item.
            std::lock_guard lock(FQueueMutex);
            for (std::unique_ptr<TOeMesgItem>& item : FPending) {
                const std::optional<TQueuedNew> queued = TakeQueuedNew(item.get());
                if (discard || !queued || queued->Withdrawn)
                    continue;
                if (queued->Unread)
                    item->SetStateBit(stUnread, *queued->Unread);
                batch.push_back(std::move(item));
            }
        }
        FParsed += static_cast<int>(batch.size());
        FItems.InsertSorted(std::move(batch));
        FListedCount = FItems.Count();
    }
    const auto merged = static_cast<int>(FPending.size());
    FPending.clear();
    FPendingCount -= merged;
    FSinceMerge.restart();
}

void TParserThread::Drop(TRequest& request)
{
    if (request.Owned) {
        {
            std::lock_guard lock(FQueueMutex);
            TakeQueuedNew(request.Item);
        }
        request.Owned.reset();
        return;
    }
    TWriteGuard<TSyncItems> guard(FItems);
    const int index = FItems.IndexOf(request.Item);
    if (index >= 0)
        FItems.Delete(index);
}
