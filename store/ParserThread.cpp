#include "store/ParserThread.h"

#include "base/PrivateMessages.h"
#include "messages/MesgErrors.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

TParserThread::TParserThread(TOeMesgItems& items)
    : FItems(items)
{
}

TParserThread::~TParserThread()
{
    DrainQueue();
}

void TParserThread::Push(TRequest request)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(FQueueMutex);
        wasEmpty = FQueue.empty();
        FQueue.push_back(std::move(request));
        ++FUnfinished;
    }
    // The thread sleeps only after it found the queue empty under the lock.
    if (wasEmpty)
        Post(kParseItemRequest);
}

void TParserThread::QueueNew(std::unique_ptr<TOeMesgItem> item)
{
    const auto id = static_cast<TStoreId>(item->Id());
    const unsigned load = NewestLoad();
    {
        std::lock_guard lock(FQueueMutex);
        FQueuedNew.insert(id, TQueuedNew{item.get(), load, false, std::nullopt});
    }
    TRequest request;
    request.Item = item.get();
    request.Owned = std::move(item);
    Push(std::move(request));
}

bool TParserThread::IsQueuedNew(TStoreId id)
{
    const unsigned load = NewestLoad();
    std::lock_guard lock(FQueueMutex);
    const auto found = FQueuedNew.constFind(id);
    return found != FQueuedNew.cend() && found->Load == load && !found->Withdrawn;
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

void TParserThread::QueueListed(TOeMesgItem* item)
{
    TRequest request;
    request.Item = item;
    Push(std::move(request));
}

void TParserThread::BeginLoad()
{
    FDiscard.store(true);
    TRequest request;
    request.Kind = kLoadStartsRequest;
    {
        std::lock_guard lock(FLoadMutex);
        request.Load = ++FLoad;
        FLoadEnded = false;
    }
    Push(std::move(request));
}

void TParserThread::EndLoad()
{
    TRequest request;
    request.Kind = kLoadEndsRequest;
    request.Load = NewestLoad();
    Push(std::move(request));
}

unsigned TParserThread::NewestLoad() const
{
    std::lock_guard lock(FLoadMutex);
    return FLoad;
}

void TParserThread::Forget(const TSyncItem* item)
{
    std::lock_guard lock(FQueueMutex);
    FUnfinished -= static_cast<int>(FQueue.remove_if([item](const TRequest& r) { return r.Item == item && !r.Owned; }));
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
                drained.splice(drained.end(), FQueue, it);
            }
            it = next;
        }
        FUnfinished -= static_cast<int>(drained.size());
    }
    // Unlisted items are freed here, outside the queue's lock.
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

void TParserThread::EndOfLoad(unsigned load)
{
    {
        std::lock_guard lock(FLoadMutex);
        // The end of a load that a newer one replaced means nothing any more:
        // the newer load may still be queuing its items.
        if (load != FLoad)
            return;
        FLoadEnded = true;
    }
    FLoadChanged.notify_all();
    // One display update at the end refreshes the list once.
    FItems.BeginDisplayUpdate();
    FItems.EndDisplayUpdate();
}

bool TParserThread::HandleMessage(QEvent* event)
{
    if (static_cast<int>(event->type()) != kParseItemRequest)
        return TDispatchThread::HandleMessage(event);
    TRequest request;
    while (!Terminated() && Pop(request)) {
        Handle(std::move(request));
        --FUnfinished;
    }
    return true;
}

bool TParserThread::Pop(TRequest& request)
{
    std::lock_guard lock(FQueueMutex);
    while (!FQueue.empty()) {
        request = std::move(FQueue.front());
        FQueue.pop_front();
        // A listed item cannot be freed while it is in the queue: its removal
        // takes it out of the queue first, under this same lock.
        if (!request.Item || request.Owned)
            return true;
        request.Reference = TSyncItemRef(request.Item);
        if (request.Reference)
            return true;
        --FUnfinished;
    }
    return false;
}

void TParserThread::Handle(TRequest request)
{
    switch (request.Kind) {
    case kLoadStartsRequest:
        FDiscard.store(false);
        FParsed.store(0);
        break;
    case kLoadEndsRequest:
        EndOfLoad(request.Load);
        break;
    default:
        Parse(request);
        break;
    }
}

void TParserThread::Parse(TRequest& request)
{
    if (FDiscard.load()) {
        Drop(request);
        return;
    }
    try {
        const QString text = FItems.ItemText(*request.Item);
        TWriteGuard<TSyncItems> guard(FItems);
        if (FDiscard.load()) {
            Drop(request);
            return;
        }
        if (request.Owned) {
            // Under the collection's lock, so that no announcement can fall
            // between taking what was announced and listing the item.
            std::optional<TQueuedNew> queued;
            {
                std::lock_guard lock(FQueueMutex);
                queued = TakeQueuedNew(request.Item);
            }
            if (!queued || queued->Withdrawn) {
                Drop(request);
                return;
            }
            if (queued->Unread)
                request.Item->SetStateBit(stUnread, *queued->Unread);
        }
        request.Item->SetCaption(text);
        const int index = request.Owned ? FItems.Add(std::move(request.Owned)) : FItems.IndexOf(request.Item);
        if (index >= 0)
            FItems.Reposition(index);
        ++FParsed;
    } catch (const Exception&) {
        QueueFileError(QString());
        Drop(request);
    }
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
