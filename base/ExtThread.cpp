#include "base/ExtThread.h"

#include "base/ThreadManager.h"

namespace {

thread_local TExtThread* tCurrentThread = nullptr;

} // namespace

// --------------------------------------------------------------- TExtThread

TExtThread::TExtThread()
{
    TThreadManager::Instance().AddThread(this);
}

TExtThread::~TExtThread()
{
    // A derived class stops its own work before its members go; this only
    // keeps a thread that is still running from outliving its object.
    if (!IsCurrent()) {
        RequestTerminate();
        WaitFor();
    }
    ClearOwnerVariable();
    if (FThread.joinable()) {
        if (FThread.get_id() == std::this_thread::get_id())
            FThread.detach();
        else
            FThread.join();
    }
    TThreadManager::Instance().RemoveThread(this);
}

void TExtThread::ClearOwnerVariable()
{
    TThreadVar* variable = nullptr;
    {
        std::lock_guard lock(FStateMutex);
        variable = std::exchange(FOwnerVariable, nullptr);
    }
    if (variable)
        variable->Cleared();
}

void TExtThread::Start()
{
    // Held while the thread is created, so that a thread that ends and frees
    // itself at once cannot do so before FThread has been assigned.
    std::lock_guard lock(FStateMutex);
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
    std::this_thread::yield();
}

void TExtThread::Stop()
{
    RequestTerminate();
    WakeToStop();
    if (IsCurrent() && FWorking.load())
        throw EBreakThread();
}

void TExtThread::Check()
{
    if (Terminated())
        Stop();
    else if (OnIdle)
        OnIdle(this);
}

bool TExtThread::Finished() const
{
    std::lock_guard lock(FStateMutex);
    return FFinished;
}

bool TExtThread::Started() const
{
    std::lock_guard lock(FStateMutex);
    return FStarted;
}

bool TExtThread::IsCurrent() const
{
    return tCurrentThread == this;
}

void TExtThread::WaitFor()
{
    std::unique_lock lock(FStateMutex);
    FFinishedChanged.wait(lock, [this] { return !FStarted || FFinished; });
}

bool TExtThread::FreeOnTerminate() const
{
    std::lock_guard lock(FStateMutex);
    return FFreeOnTerminate;
}

void TExtThread::SetFreeOnTerminate(bool value)
{
    std::lock_guard lock(FStateMutex);
    FFreeOnTerminate = value;
}

TExtThread* TExtThread::Current()
{
    return tCurrentThread;
}

void TExtThread::Execute()
{
    if (OnWork)
        OnWork(this);
}

void TExtThread::RunHandler(const TThreadEvent& handler)
{
    try {
        if (handler)
            handler(this);
    } catch (const EBreakThread&) {
        // A requested stop ends the work silently.
    } catch (...) {
        TThreadManager::Instance().ReportException(std::current_exception());
    }
}

void TExtThread::Run()
{
    tCurrentThread = this;
    FWorking = true;
    RunHandler([this](TExtThread*) {
        if (OnStart)
            OnStart(this);
        Execute();
    });
    FWorking = false;
    RunHandler(OnDone);
    tCurrentThread = nullptr;
    bool freeSelf = false;
    {
        std::lock_guard lock(FStateMutex);
        FFinished = true;
        freeSelf = FFreeOnTerminate;
        FFinishedChanged.notify_all();
    }
    if (freeSelf) {
        // First, so that nobody who holds the variable sees a half-destroyed thread.
        ClearOwnerVariable();
        delete this;
    }
}

// --------------------------------------------------------------- TThreadVar

TThreadVar::~TThreadVar()
{
    StopAndFree(*this, true);
}

void TThreadVar::Set(TExtThread* thread)
{
    StopAndFree(*this, true);
    std::lock_guard lock(FMutex);
    FThread = thread;
    if (thread) {
        std::lock_guard state(thread->FStateMutex);
        thread->FOwnerVariable = this;
    }
}

TExtThread* TThreadVar::Get() const
{
    std::lock_guard lock(FMutex);
    return FThread;
}

bool TThreadVar::Use(const std::function<void(TExtThread*)>& use)
{
    std::lock_guard lock(FMutex);
    if (!FThread)
        return false;
    use(FThread);
    return true;
}

void TThreadVar::Cleared()
{
    std::lock_guard lock(FMutex);
    FThread = nullptr;
    FClearedChanged.notify_all();
}

// ---------------------------------------------------------------- functions

void StopAndFree(TThreadVar& variable, bool requestBreak)
{
    std::unique_lock lock(variable.FMutex);
    TExtThread* thread = variable.FThread;
    if (!thread)
        return;
    bool freeingItself = false;
    {
        std::lock_guard state(thread->FStateMutex);
        freeingItself = thread->FFinished && thread->FFreeOnTerminate;
        if (thread->IsCurrent()) {
            // A thread cannot wait for itself: let it free itself when its work ends.
            thread->FFreeOnTerminate = true;
            thread->FOwnerVariable = nullptr;
        } else if (!freeingItself) {
            thread->FFreeOnTerminate = false;
            thread->FOwnerVariable = nullptr;
        }
    }
    if (freeingItself) {
        // It is about to clear the variable and free itself.
        variable.FClearedChanged.wait(lock, [&] { return variable.FThread == nullptr; });
        return;
    }
    variable.FThread = nullptr;
    lock.unlock();
    if (thread->IsCurrent()) {
        thread->RequestTerminate();
        return;
    }
    if (requestBreak)
        thread->Stop();
    else
        thread->WakeToStop();
    thread->WaitFor();
    delete thread;
}

void ThreadCheck()
{
    if (TExtThread* thread = TExtThread::Current())
        thread->Check();
}
