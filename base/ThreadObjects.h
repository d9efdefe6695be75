#pragma once

#include "base/SyncItems.h"

#include <functional>
#include <memory>
#include <thread>

class TExtThread;

// One thread's object in a per-thread list: it records the thread it
// belongs to and the running TExtThread of that thread (none for the main
// thread and for threads the manager does not know).
class TThreadObject : public TSyncItem
{
public:
    explicit TThreadObject(TSyncItems* owner);

    [[nodiscard]] std::thread::id ThreadId() const { return FThreadId; }
    [[nodiscard]] TExtThread* Thread() const { return FThread; }

private:
    std::thread::id FThreadId;
    TExtThread* FThread;
};

// A list of per-thread objects of one class, created on demand: each thread
// asking for its object gets one of its own, made by the factory. The main
// thread's object is created with the list. When a TExtThread is destroyed
// its objects leave every list.
class TThreadObjectList : public TSyncItems
{
    Q_OBJECT
public:
    using TFactory = std::function<std::unique_ptr<TThreadObject>(TThreadObjectList* owner)>;
    using TCreateEvent = std::function<void(TThreadObjectList* sender, TThreadObject* object)>;

    // Must be created on the main thread; without a factory the objects are plain TThreadObjects.
    explicit TThreadObjectList(TFactory factory = {}, QObject* owner = nullptr);
    ~TThreadObjectList() override;

    // The calling thread's object, created (and OnCreateObject called) when it has none.
    [[nodiscard]] TThreadObject* ObjectForCurrentThread();
    template <class T>
    [[nodiscard]] T* CurrentAs() { return static_cast<T*>(ObjectForCurrentThread()); }
    [[nodiscard]] TThreadObject* MainObject() const { return FMainObject.get(); }

    [[nodiscard]] std::unique_ptr<TSyncItem> CreateItem() override;
    // Removes the objects of `thread` (the thread manager calls it).
    void DropThread(const TExtThread* thread);

    TCreateEvent OnCreateObject;

private:
    [[nodiscard]] std::unique_ptr<TThreadObject> NewObject();
    [[nodiscard]] TThreadObject* Find(std::thread::id thread) const;

    TFactory FFactory;
    std::unique_ptr<TThreadObject> FMainObject;
};
