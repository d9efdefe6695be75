#pragma once

#include "base/SyncList.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;
class TExtThread;
class TThreadObjectList;

// The registry of running worker threads, the per-thread object lists and
// the queue of background errors. There is one, made on first use, which
// must happen on the main thread (the program's start-up does it).
//
// Background errors: worker threads never show boxes. A worker's error
// becomes a text that is queued here, and event pmThreadErrors (0x497) is
// posted to the main thread. There the error handler runs, which takes the
// texts with TakePendingErrors() and shows them, oldest first. Without a
// handler the texts stay queued for one installed later.
class TThreadManager
{
public:
    using TErrorHandler = std::function<void()>;

    static constexpr int kMaxErrorLength = 250;

    [[nodiscard]] static TThreadManager& Instance();
    TThreadManager(const TThreadManager&) = delete;
    TThreadManager& operator=(const TThreadManager&) = delete;

    [[nodiscard]] bool IsMainThread() const { return std::this_thread::get_id() == FMainThread; }

    void AddThread(TExtThread* thread);
    // Also drops every per-thread object that belonged to the thread.
    void RemoveThread(TExtThread* thread);
    [[nodiscard]] int ThreadCount() const { return FThreads.Count(); }

    void AddObjectList(TThreadObjectList* list);
    void RemoveObjectList(TThreadObjectList* list);

    // The text of an exception: its message, at most kMaxErrorLength characters.
    [[nodiscard]] static QString ExceptionText(std::exception_ptr error);
    // Queues the text of `error` and tells the main thread.
    void ReportException(std::exception_ptr error);
    // Queues `text` and tells the main thread.
    void ReportError(const QString& text);
    // Every pending text, oldest first; the queue is left empty.
    [[nodiscard]] QStringList TakePendingErrors();
    // Installs the main-thread handler of pmThreadErrors; returns the previous one.
    TErrorHandler SetErrorHandler(TErrorHandler handler);

private:
    class TReceiver;

    TThreadManager();
    ~TThreadManager();
    void HandleErrorsPending();

    std::thread::id FMainThread;
    // Neither list owns what it holds.
    struct TNoDelete {
        void operator()(const void*) const {}
    };
    TSyncList<TThreadObjectList, TNoDelete> FObjectLists;
    TSyncList<TExtThread, TNoDelete> FThreads;
    std::mutex FErrorMutex;
    QStringList FErrors;
    TErrorHandler FErrorHandler;                 // main thread only
    std::unique_ptr<QObject> FReceiver;          // lives on the main thread
};
