#include "base/DispatchThread.h"

#include "base/PrivateMessages.h"
#include "base/ThreadManager.h"
#include "base/TsanAnnotations.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>

// The thread's message window: it lives on the thread and passes every
// event posted to it to the thread object.
class TDispatchThread::TReceiver : public QObject
{
public:
    explicit TReceiver(TDispatchThread& thread) : FThread(thread) {}

protected:
    bool event(QEvent* event) override { return FThread.DispatchPosted(event) || QObject::event(event); }

private:
    TDispatchThread& FThread;
};

TDispatchThread::TDispatchThread()
{
    SetFreeOnTerminate(true);
}

TDispatchThread::~TDispatchThread()
{
    // The loop uses this object's members: it must have ended before they go.
    if (!IsCurrent()) {
        RequestTerminate();
        Post(QEvent::Quit);
        WaitFor();
    }
}

QObject* TDispatchThread::Receiver() const
{
    std::lock_guard lock(FReceiverMutex);
    return FReceiver;
}

void TDispatchThread::Post(int message)
{
    Post(std::make_unique<QEvent>(EventType(message)));
}

void TDispatchThread::Post(std::unique_ptr<QEvent> event)
{
    std::lock_guard lock(FReceiverMutex);
    if (FLoopEnded)
        return;   // nobody will handle it any more
    if (!FReceiver) {
        FEarly.push_back(std::move(event));
        return;
    }
    AnnotateHandOver(event.get());
    // Under the mutex, so that the receiver cannot be destroyed meanwhile.
    QCoreApplication::postEvent(FReceiver, event.release());
}

void TDispatchThread::WakeToStop()
{
    Post(QEvent::Quit);
}

void TDispatchThread::Execute()
{
    // The loop brings the thread's event dispatcher into being; it must
    // exist before the receiver is published, or the first post from
    // another thread would race with its creation.
    QEventLoop loop;
    auto receiver = std::make_unique<TReceiver>(*this);
    {
        std::lock_guard lock(FReceiverMutex);
        FReceiver = receiver.get();
        for (auto& event : FEarly) {
            AnnotateHandOver(event.get());
            QCoreApplication::postEvent(FReceiver, event.release());
        }
        FEarly.clear();
    }
    // Closes the queue on every way out, before the receiver (and with it
    // every message still queued) goes.
    struct TCloseQueue {
        TDispatchThread& Thread;
        ~TCloseQueue()
        {
            std::lock_guard lock(Thread.FReceiverMutex);
            Thread.FLoopEnded = true;
            Thread.FReceiver = nullptr;
        }
    } closeQueue{*this};
    Send(pmThreadStarted);
    FLoopStarted = true;
    MessageLoop(loop);
    Send(pmThreadEnding);
}

void TDispatchThread::MessageLoop(QEventLoop& loop)
{
    while (!Terminated())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

bool TDispatchThread::HandleMessage(QEvent* event)
{
    if (event->type() != QEvent::Quit)
        return false;
    RequestTerminate();
    return true;
}

bool TDispatchThread::DispatchPosted(QEvent* event)
{
    AnnotateTakeOver(event);
    if (Terminated())
        return true;   // dropped: the loop is ending
    return Dispatch(event);
}

bool TDispatchThread::Dispatch(QEvent* event)
{
    try {
        return HandleMessage(event) || (OnMessage && OnMessage(this, event));
    } catch (const EBreakThread&) {
        RequestTerminate();
    } catch (...) {
        TThreadManager::Instance().ReportException(std::current_exception());
    }
    return true;
}

void TDispatchThread::Send(int message)
{
    QEvent event(EventType(message));
    Dispatch(&event);
}

bool PostToDispatchThread(TThreadVar& variable, int message)
{
    return PostToDispatchThread(variable, std::make_unique<QEvent>(EventType(message)));
}

bool PostToDispatchThread(TThreadVar& variable, std::unique_ptr<QEvent> event)
{
    return variable.Use([&event](TExtThread* thread) { static_cast<TDispatchThread*>(thread)->Post(std::move(event)); });
}
