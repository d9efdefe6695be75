#pragma once

#include "base/ExtThread.h"

#include <QEvent>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QEventLoop;
class QObject;

// A worker thread with an ordered message queue of its own: a receiver
// QObject living on the thread and the thread's Qt event loop. Messages are
// events posted with Post(); the thread hands each to HandleMessage() by its
// number, then to the OnMessage target, then to Qt's default handling.
//
// The work sends pmThreadStarted (0x49D) on the thread, runs the message
// loop until termination is requested, then sends pmThreadEnding (0x49E).
// Once termination is requested no further posted message is handled.
// Every stop posts QEvent::Quit, which wakes a waiting loop: with a break
// request at once, without one after the messages posted before it. An
// EBreakThread raised while a message is handled ends the loop; any other
// error goes to the background error queue and the loop goes on.
//
// A dispatch thread frees itself when its work ends, unless StopAndFree()
// takes it over first; so its owner posts to it through its TThreadVar
// (PostToDispatchThread), which keeps it alive while it posts. Messages
// posted before the loop runs are kept and handled in order once it does.
class TDispatchThread : public TExtThread
{
public:
    using TMessageTarget = std::function<bool(TDispatchThread* sender, QEvent* event)>;

    TDispatchThread();

    // Posts a message without parameters.
    void Post(int message);
    // Posts `event` (a descendant's message with parameters).
    void Post(std::unique_ptr<QEvent> event);

    // Started: the thread has sent pmThreadStarted and runs its loop.
    [[nodiscard]] bool LoopStarted() const { return FLoopStarted.load(); }
    // The receiver on the thread; none before the loop starts and after it ends.
    [[nodiscard]] QObject* Receiver() const;

    // Gets every message that HandleMessage left unhandled (optional).
    TMessageTarget OnMessage;

protected:
    ~TDispatchThread() override;
    void Execute() override;
    // Posts the quit message.
    void WakeToStop() override;
    // Runs `loop` until termination is requested, handling posted messages.
    virtual void MessageLoop(QEventLoop& loop);
    // The thread's own handling of a message; true when handled.
    virtual bool HandleMessage(QEvent* event);

private:
    class TReceiver;

    // Delivers one posted message (called by the receiver); false leaves it to Qt.
    bool DispatchPosted(QEvent* event);
    // Handles one message, catching what it raises; false when nobody handled it.
    bool Dispatch(QEvent* event);
    void Send(int message);

    mutable std::mutex FReceiverMutex;    // guards FReceiver and FEarly
    QObject* FReceiver = nullptr;
    std::vector<std::unique_ptr<QEvent>> FEarly;
    bool FLoopEnded = false;
    std::atomic<bool> FLoopStarted{false};
};

// Posts to the dispatch thread in `variable`, if there is one; false when
// the variable is empty (the thread has ended and freed itself).
bool PostToDispatchThread(TThreadVar& variable, int message);
bool PostToDispatchThread(TThreadVar& variable, std::unique_ptr<QEvent> event);
