#include "base/ReadWriteLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The writer may take the write lock again and read while it writes.
TEST(ReadWriteLock, WriterReentersAndReads)
{
    TReadWriteLock lock;
    EXPECT_TRUE(lock.WriteLock());
    EXPECT_TRUE(lock.WriteLock());
    lock.ReadLock();
    lock.ReadUnlock();
    lock.WriteUnlock();
    EXPECT_TRUE(lock.IsWriter());
    lock.WriteUnlock();
    EXPECT_FALSE(lock.IsWriter());

    // Another thread can write now.
    std::thread other([&lock] {
        lock.WriteLock();
        lock.WriteUnlock();
    });
    other.join();
}

// Readers share the lock; a writer waits until the last reader leaves.
TEST(ReadWriteLock, WriterWaitsForReaders)
{
    TReadWriteLock lock;
    lock.ReadLock();
    std::thread second([&lock] {   // a second reader gets in at once
        lock.ReadLock();
        lock.ReadUnlock();
    });
    second.join();

    std::atomic<bool> written{false};
    std::thread writer([&] {
        lock.WriteLock();
        written = true;
        lock.WriteUnlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(written);
    lock.ReadUnlock();
    writer.join();
    EXPECT_TRUE(written);
}

// Two readers asking to write at the same time both get the lock in turn
// instead of waiting for each other; at least one learns that the other went first.
TEST(ReadWriteLock, UpgradingReadersDoNotDeadlock)
{
    TReadWriteLock lock;
    std::atomic<int> reading{0};
    std::atomic<int> unchanged{0};
    auto upgrade = [&] {
        lock.ReadLock();
        ++reading;
        while (reading < 2)
            std::this_thread::yield();
        unchanged += lock.WriteLock() ? 1 : 0;
        lock.WriteUnlock();
        lock.ReadUnlock();
    };
    std::thread a(upgrade);
    std::thread b(upgrade);
    a.join();
    b.join();
    EXPECT_LE(unchanged, 1);
}

} // namespace
