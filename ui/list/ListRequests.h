#pragma once

#include <QEvent>

#include <mutex>
#include <optional>

class QObject;

// Posts `event` to `receiver` on the receiver's thread, telling the thread
// sanitizer that whatever the event carries changes hands with it.
void PostAcrossThreads(QObject* receiver, QEvent* event);

// The requests that reach a list control from any thread without waiting
// for it: the row count, rows to redraw, dropping all rows. They are merged
// until the control's thread takes them, so a worker that sends a thousand
// counts costs the control one update; one wake-up event is on its way at
// most.
class TListRequestQueue
{
public:
    struct TRequests
    {
        bool Clear = false;              // drop all rows first
        std::optional<int> Count;        // then take this row count
        int FirstRow = -1;               // then redraw these rows (-1: none)
        int LastRow = -1;
    };

    // Wake-up events go to `receiver`, which hands them to Take().
    explicit TListRequestQueue(QObject* receiver);

    void RequestCount(int count);
    void RequestRow(int row);
    // Drops the counts and rows asked for before.
    void RequestClear();
    // Posts the wake-up event unless one is on its way.
    void PostWakeUp();
    [[nodiscard]] static bool IsWakeUp(const QEvent* event);
    // What was asked for since the last take; the queue is left empty.
    [[nodiscard]] TRequests Take();

private:
    QObject* FReceiver;
    std::mutex FMutex;
    TRequests FPending;
    bool FPosted = false;
};
