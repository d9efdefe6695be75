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
    }
    // The thread sleeps only after it found the queue empty under the lock.
    if (wasEmpty)
        Post(kParseItemRequest);
}

void TParserThread::QueueNew(std::unique_ptr<TOeMesgItem> item)
{
    TRequest request;
    request.Item = item.get();
    request.Owned = std::move(item);
    Push(std::move(request));
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
    SetLoadEnded(false);
    TRequest request;
    request.Kind = kLoadStartsRequest;
    request.Load = ++FLoad;
    Push(std::move(request));
}

void TParserThread::EndLoad()
{
    TRequest request;
    request.Kind = kLoadEndsRequest;
    request.Load = FLoad;
    Push(std::move(request));
}

void TParserThread::Forget(const TSyncItem* item)
{
    std::lock_guard lock(FQueueMutex);
    FQueue.remove_if([item](const TRequest& r) { return r.Item == item && !r.Owned; });
}

void TParserThread::DrainQueue()
{
    std::list<TRequest> drained;
    {
        std::lock_guard lock(FQueueMutex);
        // The start and end requests stay: they mark where loads begin and end.
        for (auto it = FQueue.begin(); it != FQueue.end();) {
            const auto next = std::next(it);
            if (it->Item)
                drained.splice(drained.end(), FQueue, it);
            it = next;
        }
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

void TParserThread::SetLoadEnded(bool ended)
{
    {
        std::lock_guard lock(FLoadMutex);
        FLoadEnded = ended;
    }
    FLoadChanged.notify_all();
}

bool TParserThread::HandleMessage(QEvent* event)
{
    if (static_cast<int>(event->type()) != kParseItemRequest)
        return TDispatchThread::HandleMessage(event);
    TRequest request;
    while (!Terminated() && Pop(request))
        Handle(std::move(request));
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
    }
    return false;
}

void TParserThread::Handle(TRequest request)
{
    switch (request.Kind) {
    case kLoadStartsRequest:
        FCurrentLoad.store(request.Load);
        FDiscard.store(false);
        FParsed.store(0);
        break;
    case kLoadEndsRequest:
        // The end of a load that a newer one replaced means nothing any more.
        if (request.Load != FCurrentLoad.load())
            break;
        SetLoadEnded(true);
        // One display update at the end refreshes the list once.
        FItems.BeginDisplayUpdate();
        FItems.EndDisplayUpdate();
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
        request.Owned.reset();
        return;
    }
    TWriteGuard<TSyncItems> guard(FItems);
    const int index = FItems.IndexOf(request.Item);
    if (index >= 0)
        FItems.Delete(index);
}
