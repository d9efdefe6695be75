#include "ui/list/ListRequests.h"

#include "base/TsanAnnotations.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace {

const QEvent::Type kWakeUp = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

void PostAcrossThreads(QObject* receiver, QEvent* event)
{
    AnnotateHandOver(event);
    QCoreApplication::postEvent(receiver, event);
}

TListRequestQueue::TListRequestQueue(QObject* receiver)
    : FReceiver(receiver)
{
}

void TListRequestQueue::RequestCount(int count)
{
    std::lock_guard lock(FMutex);
    FPending.Count = count;
}

void TListRequestQueue::RequestRow(int row)
{
    if (row < 0)
        return;
    std::lock_guard lock(FMutex);
    FPending.FirstRow = FPending.FirstRow < 0 ? row : std::min(FPending.FirstRow, row);
    FPending.LastRow = std::max(FPending.LastRow, row);
}

void TListRequestQueue::RequestClear()
{
    std::lock_guard lock(FMutex);
    FPending = TRequests();
    FPending.Clear = true;
}

void TListRequestQueue::PostWakeUp()
{
    std::lock_guard lock(FMutex);
    if (std::exchange(FPosted, true))
        return;
    PostAcrossThreads(FReceiver, new QEvent(kWakeUp));
}

bool TListRequestQueue::IsWakeUp(const QEvent* event)
{
    return event->type() == kWakeUp;
}

TListRequestQueue::TRequests TListRequestQueue::Take()
{
    std::lock_guard lock(FMutex);
    FPosted = false;
    return std::exchange(FPending, TRequests());
}
