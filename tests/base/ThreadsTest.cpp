#include "base/DispatchThread.h"
#include "base/PrivateMessages.h"
#include "base/ThreadManager.h"
#include "base/ThreadObjects.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Collects what happens on a thread, from any thread.
class TJournal
{
public:
    void Add(const QString& entry)
    {
        std::lock_guard lock(FMutex);
        FEntries.append(entry);
    }
    // A copy of its own: sharing the list's storage with the writing thread
    // would hand it over through Qt's uninstrumented reference counts.
    [[nodiscard]] QStringList Entries() const
    {
        std::lock_guard lock(FMutex);
        QStringList entries;
        for (const QString& entry : FEntries)
            entries.append(entry);
        return entries;
    }
    // The entries without the quit message, which a stop may or may not get handled first.
    [[nodiscard]] QStringList WithoutQuit() const
    {
        QStringList entries = Entries();
        entries.removeAll(QString::number(QEvent::Quit, 16));
        return entries;
    }

private:
    mutable std::mutex FMutex;
    QStringList FEntries;
};

// Every test starts and ends with an empty error queue and no handler.
class ThreadTest : public ::testing::Test
{
protected:
    void SetUp() override { (void)TThreadManager::Instance().TakePendingErrors(); }
    void TearDown() override
    {
        TThreadManager::Instance().SetErrorHandler({});
        (void)TThreadManager::Instance().TakePendingErrors();
        QCoreApplication::processEvents();
    }
};

using ExtThread = ThreadTest;

TEST_F(ExtThread, HandlersRunInOrderAndABreakEndsTheWorkSilently)
{
    TJournal journal;
    std::atomic<bool> running{false};
    TThreadVar variable;
    auto* thread = new TExtThread;
    variable.Set(thread);
    thread->OnStart = [&](TExtThread*) { journal.Add(QStringLiteral("start")); };
    thread->OnWork = [&](TExtThread* self) {
        journal.Add(QStringLiteral("work"));
        running = true;
        for (;;)
            self->Check();   // raises the break once a stop is requested
    };
    thread->OnDone = [&](TExtThread*) { journal.Add(QStringLiteral("done")); };
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return running.load(); }));

    StopAndFree(variable, true);
    EXPECT_FALSE(variable);
    EXPECT_EQ(journal.Entries(), (QStringList{QStringLiteral("start"), QStringLiteral("work"), QStringLiteral("done")}));
    EXPECT_TRUE(TThreadManager::Instance().TakePendingErrors().isEmpty());
}

TEST_F(ExtThread, ThreadCheckStopsTheCurrentWorkerOnlyWhenAsked)
{
    std::atomic<int> idles{0};
    std::atomic<bool> stopAsked{false};
    TThreadVar variable;
    auto* thread = new TExtThread;
    variable.Set(thread);
    thread->OnIdle = [&](TExtThread*) { ++idles; };
    thread->OnWork = [&](TExtThread* self) {
        while (!stopAsked)
            ThreadCheck();
        self->Stop();    // on itself while working: unwinds at once
        idles = -1000;   // never reached
    };
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return idles > 0; }));
    ThreadCheck();   // nothing on the main thread
    stopAsked = true;
    thread->WaitFor();
    EXPECT_GT(idles, 0);
    EXPECT_TRUE(thread->Finished());
    StopAndFree(variable, false);
}

// An error that escapes the work becomes a queued text and event 0x497 on
// the main thread; two errors show as two texts, in order.
TEST_F(ExtThread, ErrorsReachTheMainThreadInOrder)
{
    QStringList shown;
    TThreadManager::Instance().SetErrorHandler([&shown] {
        EXPECT_TRUE(TThreadManager::Instance().IsMainThread());
        shown += TThreadManager::Instance().TakePendingErrors();
    });
    for (const char* text : {"first failure", "second failure"}) {
        TThreadVar variable;
        auto* thread = new TExtThread;
        variable.Set(thread);
        thread->OnWork = [text](TExtThread*) { throw Exception(QString::fromLatin1(text)); };
        thread->Start();
        thread->WaitFor();
    }
    ASSERT_TRUE(WaitUntil([&] { return shown.size() == 2; }));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("first failure"), QStringLiteral("second failure")}));
}

TEST_F(ExtThread, ErrorTextsAreCutTo250Characters)
{
    TThreadManager::Instance().ReportException(std::make_exception_ptr(Exception(QString(300, QLatin1Char('x')))));
    TThreadManager::Instance().ReportException(std::make_exception_ptr(42));
    const QStringList texts = TThreadManager::Instance().TakePendingErrors();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0].size(), 250);
    EXPECT_EQ(texts[1], QStringLiteral("Unknown exception"));
}

// A thread that frees itself clears its variable; stopping it afterwards finds nothing to do.
TEST_F(ExtThread, SelfFreeingThreadClearsItsVariable)
{
    const int before = TThreadManager::Instance().ThreadCount();
    TThreadVar variable;
    auto* thread = new TExtThread;
    thread->SetFreeOnTerminate(true);
    variable.Set(thread);
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return !variable; }));
    StopAndFree(variable, true);
    ASSERT_TRUE(WaitUntil([&] { return TThreadManager::Instance().ThreadCount() == before; }));
}

// Per-thread objects: the main thread's comes with the list, each worker
// gets its own on demand, and it goes when its thread object is destroyed.
TEST_F(ExtThread, PerThreadObjects)
{
    TThreadObjectList list;
    int created = 0;
    list.OnCreateObject = [&created](TThreadObjectList*, TThreadObject*) { ++created; };
    EXPECT_EQ(list.ObjectForCurrentThread(), list.MainObject());
    EXPECT_EQ(list.MainObject()->Thread(), nullptr);

    TThreadObject* first = nullptr;
    TThreadObject* again = nullptr;
    TThreadVar variable;
    auto* thread = new TExtThread;
    variable.Set(thread);
    thread->OnWork = [&](TExtThread*) {
        first = list.ObjectForCurrentThread();
        again = list.ObjectForCurrentThread();
    };
    thread->Start();
    thread->WaitFor();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, list.MainObject());
    EXPECT_EQ(first->Thread(), thread);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(list.Count(), 1);

    StopAndFree(variable, true);
    EXPECT_EQ(list.Count(), 0);
}

// A per-thread object that reports its destruction, and for a worker's
// object can hold the destroying thread for a moment.
class TWatchedObject : public TThreadObject
{
public:
    struct TWatch
    {
        std::mutex Mutex;
        std::condition_variable Changed;
        bool HoldWorkerObject = false;
        bool Holding = false;
        bool Released = false;
        std::thread::id WorkerObjectFreedOn;
    };

    TWatchedObject(TSyncItems* owner, TWatch& watch) : TThreadObject(owner), FWatch(watch) {}
    ~TWatchedObject() override
    {
        if (Thread() == nullptr)
            return;   // the main thread's object
        std::unique_lock lock(FWatch.Mutex);
        FWatch.WorkerObjectFreedOn = std::this_thread::get_id();
        if (!FWatch.HoldWorkerObject)
            return;
        FWatch.Holding = true;
        FWatch.Changed.notify_all();
        // Bounded: with the lists guarded the releasing thread cannot come
        // before this wait ends.
        FWatch.Changed.wait_for(lock, std::chrono::milliseconds(300), [this] { return FWatch.Released; });
    }

private:
    TWatch& FWatch;
};

// A worker that frees itself drops its objects from every list while the
// main thread frees one of those lists: the list is either dropped from
// before it goes or never seen, and never used once freed.
TEST_F(ExtThread, AListFreedWhileAWorkerEndsIsNeverUsedAfterwards)
{
    TWatchedObject::TWatch first;
    TWatchedObject::TWatch second;
    first.HoldWorkerObject = true;
    const auto factory = [](TWatchedObject::TWatch& watch) {
        return [&watch](TThreadObjectList* owner) { return std::make_unique<TWatchedObject>(owner, watch); };
    };
    TThreadObjectList held(factory(first));
    auto freed = std::make_unique<TThreadObjectList>(factory(second));
    const int before = TThreadManager::Instance().ThreadCount();

    TThreadVar variable;
    auto* thread = new TExtThread;
    thread->SetFreeOnTerminate(true);
    variable.Set(thread);
    thread->OnWork = [&](TExtThread*) {
        (void)held.ObjectForCurrentThread();
        (void)freed->ObjectForCurrentThread();
    };
    thread->Start();
    {
        // The worker's object in the first list is being dropped: free the second list now.
        std::unique_lock lock(first.Mutex);
        ASSERT_TRUE(first.Changed.wait_for(lock, std::chrono::seconds(5), [&] { return first.Holding; }));
    }
    freed.reset();
    {
        std::lock_guard lock(first.Mutex);
        first.Released = true;
        first.Changed.notify_all();
    }
    ASSERT_TRUE(WaitUntil([&] { return TThreadManager::Instance().ThreadCount() == before; }));
    std::lock_guard lock(second.Mutex);
    EXPECT_NE(second.WorkerObjectFreedOn, std::this_thread::get_id())
        << "the worker dropped its object from the second list before that list went";
}

// ------------------------------------------------------------ dispatch threads

class TRecordingThread : public TDispatchThread
{
public:
    explicit TRecordingThread(TJournal& journal) : FJournal(journal) {}

protected:
    bool HandleMessage(QEvent* event) override
    {
        const int message = event->type();
        FJournal.Add(QString::number(message, 16));
        if (message == 0x500)
            throw Exception(QStringLiteral("handler failed"));
        if (message == 0x501)
            Stop();   // on the thread: breaks out of the loop
        return TDispatchThread::HandleMessage(event);
    }

private:
    TJournal& FJournal;
};

class DispatchThread : public ThreadTest
{
protected:
    // A recording thread in `variable`, started, once its loop waits for messages.
    TRecordingThread* StartWaiting(TJournal& journal, TThreadVar& variable)
    {
        auto* thread = new TRecordingThread(journal);
        variable.Set(thread);
        thread->Start();
        EXPECT_TRUE(WaitUntil([&] { return thread->LoopStarted(); }));
        return thread;
    }
};

TEST_F(DispatchThread, HandlesMessagesInOrderBetweenStartAndEnd)
{
    TJournal journal;
    TThreadVar variable;
    auto* thread = new TRecordingThread(journal);
    variable.Set(thread);
    thread->Post(0x4BD);   // before the loop runs: kept
    thread->Start();
    thread->Post(0x4BE);
    thread->Post(0x4BF);
    ASSERT_TRUE(WaitUntil([&] { return journal.Entries().size() == 4; }));   // started and three messages
    EXPECT_TRUE(thread->LoopStarted());
    StopAndFree(variable, true);
    EXPECT_EQ(journal.WithoutQuit(), (QStringList{QStringLiteral("49d"), QStringLiteral("4bd"), QStringLiteral("4be"),
                                                  QStringLiteral("4bf"), QStringLiteral("49e")}));
}

// Stopping from the main thread wakes a loop that waits for messages.
TEST_F(DispatchThread, StopWakesAWaitingLoop)
{
    TJournal journal;
    TThreadVar variable;
    StartWaiting(journal, variable);
    QElapsedTimer clock;
    clock.start();
    StopAndFree(variable, true);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(journal.Entries().last(), QStringLiteral("49e"));
}

// Stopping without a break request still wakes a loop that waits for
// messages; what was posted before the stop is handled first.
TEST_F(DispatchThread, StopWithoutABreakEndsAWaitingLoopAfterItsMessages)
{
    TJournal journal;
    TThreadVar variable;
    TRecordingThread* thread = StartWaiting(journal, variable);
    thread->Post(0x4BD);
    std::atomic<bool> returned{false};
    std::thread stopper([&] {
        StopAndFree(variable, false);
        returned = true;
    });
    const bool ended = WaitUntil([&] { return returned.load(); }, 2000);
    if (!ended)
        thread->Post(QEvent::Quit);   // lets the stopper return, so that the test can end
    stopper.join();
    EXPECT_TRUE(ended) << "the stop never returned";
    EXPECT_FALSE(variable);
    EXPECT_EQ(journal.WithoutQuit(), (QStringList{QStringLiteral("49d"), QStringLiteral("4bd"), QStringLiteral("49e")}));
}

// An error in a handler is reported and the loop goes on; a break ends it,
// and the thread then frees itself.
TEST_F(DispatchThread, ErrorsAreReportedAndABreakEndsTheLoop)
{
    QStringList shown;
    TThreadManager::Instance().SetErrorHandler([&shown] { shown += TThreadManager::Instance().TakePendingErrors(); });
    TJournal journal;
    TThreadVar variable;
    auto* thread = new TRecordingThread(journal);
    variable.Set(thread);
    thread->Start();
    // The thread may free itself after 0x501: from then on only the variable may be used.
    for (int message : {0x500, 0x4BD, 0x501, 0x4BE})   // 0x4BE is never handled: the loop is ending
        PostToDispatchThread(variable, message);
    ASSERT_TRUE(WaitUntil([&] { return !variable; }));
    EXPECT_FALSE(PostToDispatchThread(variable, 0x4BF));
    ASSERT_TRUE(WaitUntil([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown, QStringList{QStringLiteral("handler failed")});
    EXPECT_EQ(journal.Entries(), (QStringList{QStringLiteral("49d"), QStringLiteral("500"), QStringLiteral("4bd"),
                                              QStringLiteral("501"), QStringLiteral("49e")}));
}

} // namespace
