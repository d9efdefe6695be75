#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TThreadVar;

// Thrown on a worker thread to unwind its work when a stop was requested.
// Deliberately not an Exception (nor a std::exception): handlers that catch
// errors to report them must not swallow it, and the worker's base ends the
// work silently when it arrives there.
class EBreakThread
{
};

// A worker thread with handlers, a stop request and a cooperative check.
// The work is Execute() (by default the work handler), run on the thread
// between the start and the done handlers. Long loops call Check(), or
// ThreadCheck() from code that does not know its thread, so that a stop
// request unwinds the work at a safe point.
//
// A thread is constructed, then started with Start(). It is freed by
// StopAndFree(), or, when it frees itself on termination, by itself on its
// own thread when the work ends; hence the protected destructor. Every
// thread is registered with the thread manager while it exists. An error
// that escapes the work is reported to the manager's background error queue.
class TExtThread
{
public:
    using TThreadEvent = std::function<void(TExtThread* sender)>;

    TExtThread();
    TExtThread(const TExtThread&) = delete;
    TExtThread& operator=(const TExtThread&) = delete;

    // Starts the thread; a second call does nothing.
    void Start();
    // Requests termination. Called on the thread itself while its work runs,
    // it also raises EBreakThread to unwind the work at once.
    virtual void Stop();
    // On the thread: stops when termination was requested, else runs the idle handler.
    virtual void Check();

    [[nodiscard]] bool Terminated() const { return FTerminated.load(); }
    [[nodiscard]] bool Finished() const;
    [[nodiscard]] bool Started() const;
    // True on the thread itself.
    [[nodiscard]] bool IsCurrent() const;
    // Blocks until the work has ended (at once when the thread never started).
    void WaitFor();

    [[nodiscard]] bool FreeOnTerminate() const;
    void SetFreeOnTerminate(bool value);

    // The running TExtThread of the calling thread; none on other threads.
    [[nodiscard]] static TExtThread* Current();

    TThreadEvent OnStart;
    TThreadEvent OnDone;
    TThreadEvent OnWork;
    TThreadEvent OnIdle;

protected:
    virtual ~TExtThread();
    virtual void Execute();
    // Requests termination without raising anything.
    void RequestTerminate() { FTerminated.store(true); }
    // Runs on every stop, with or without a break request, before the
    // stopper waits: a thread that sleeps until work arrives must be woken
    // so that it can end. A plain worker runs its work to the end and needs
    // nothing.
    virtual void WakeToStop() {}

private:
    friend class TThreadVar;
    friend void StopAndFree(TThreadVar& variable, bool requestBreak);

    void Run();
    void RunHandler(const TThreadEvent& handler);
    // Empties the variable that refers to this thread.
    void ClearOwnerVariable();

    std::thread FThread;
    std::thread::id FThreadId;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FWorking{false};
    mutable std::mutex FStateMutex;       // guards the fields below
    std::condition_variable FFinishedChanged;
    bool FStarted = false;
    bool FFinished = false;
    bool FFreeOnTerminate = false;
    TThreadVar* FOwnerVariable = nullptr;
};

// The variable that refers to a thread: it owns the thread, stops and frees
// it when it goes, and is cleared by a thread that frees itself before it
// does so.
class TThreadVar
{
public:
    TThreadVar() = default;
    ~TThreadVar();
    TThreadVar(const TThreadVar&) = delete;
    TThreadVar& operator=(const TThreadVar&) = delete;

    // Takes over `thread` (stopping and freeing a thread it held before).
    void Set(TExtThread* thread);
    // The thread. A thread that frees itself may go at any moment after
    // this returns: work with such a thread through Use().
    [[nodiscard]] TExtThread* Get() const;
    // Runs `use` with the thread while holding the variable, so that a thread
    // that frees itself cannot go meanwhile; false when the variable is empty.
    bool Use(const std::function<void(TExtThread*)>& use);
    template <class T>
    [[nodiscard]] T* As() const { return static_cast<T*>(Get()); }
    explicit operator bool() const { return Get() != nullptr; }

private:
    friend class TExtThread;
    friend void StopAndFree(TThreadVar& variable, bool requestBreak);

    void Cleared();

    mutable std::mutex FMutex;
    std::condition_variable FClearedChanged;
    TExtThread* FThread = nullptr;
};

// Stops the thread in `variable` (with `requestBreak` its stop operation
// runs), waits until its work has ended and frees it; a thread that has
// already ended and frees itself is waited for instead. The variable ends
// empty in every case.
void StopAndFree(TThreadVar& variable, bool requestBreak);

// From any thread: the running TExtThread of the calling thread checks for a
// stop request (and raises EBreakThread on one). Nothing on other threads.
void ThreadCheck();
