#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// A multi-reader/single-writer lock. Any number of threads may read at once;
// a writer has the lock to itself. Both sides are recursive: a reader may
// take further read locks, and the writer may take the write lock again and
// take read locks while it writes. A thread that holds only read locks and
// asks for the write lock gives its read locks up while it waits and gets
// them back with the write lock; WriteLock() then returns false when another
// writer went first, so what it read may have changed.
//
// Waiting writers keep new readers out, so a stream of painters cannot
// starve the parser thread; a thread that already reads is always let in
// again, or it would wait for a writer that waits for it.
//
// Built on the standard primitives so that ThreadSanitizer sees every
// hand-over between threads.
class TReadWriteLock
{
public:
    TReadWriteLock() = default;
    TReadWriteLock(const TReadWriteLock&) = delete;
    TReadWriteLock& operator=(const TReadWriteLock&) = delete;

    void ReadLock();
    void ReadUnlock();
    bool WriteLock();
    void WriteUnlock();

    // True when the calling thread holds the write lock.
    [[nodiscard]] bool IsWriter() const;

private:
    struct TReader {
        std::thread::id Thread;
        int Depth;
    };

    std::vector<TReader>::iterator FindReader(std::thread::id thread);
    [[nodiscard]] bool OthersRead(std::thread::id thread) const;

    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<TReader> FReaders;       // threads holding read locks, with their depth
    std::thread::id FWriter;              // the writing thread; default id when none
    int FWriteDepth = 0;
    int FWaitingWriters = 0;
    unsigned FWriteCount = 0;             // write locks granted so far
};

// Scope guards for anything with ReadLock/ReadUnlock or WriteLock/WriteUnlock.
template <class TLockable>
class TReadGuard
{
public:
    explicit TReadGuard(TLockable& lock) : FLock(lock) { FLock.ReadLock(); }
    ~TReadGuard() { FLock.ReadUnlock(); }
    TReadGuard(const TReadGuard&) = delete;
    TReadGuard& operator=(const TReadGuard&) = delete;

private:
    TLockable& FLock;
};

template <class TLockable>
class TWriteGuard
{
public:
    explicit TWriteGuard(TLockable& lock) : FLock(lock) { FLock.WriteLock(); }
    ~TWriteGuard() { FLock.WriteUnlock(); }
    TWriteGuard(const TWriteGuard&) = delete;
    TWriteGuard& operator=(const TWriteGuard&) = delete;

private:
    TLockable& FLock;
};
