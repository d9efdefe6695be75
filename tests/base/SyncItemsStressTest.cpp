#include "tests/base/KeyItems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kItems = 100000;
constexpr int kReaders = 3;
constexpr int kLiveLimit = 2000;   // the writer removes items beyond this many

// Readers take and release references while a writer inserts items at
// their sorted place, re-positions them and removes them. Every item a
// reader holds must stay alive and intact until it lets go, and every
// item must be freed exactly once in the end.
TEST(SyncItemsStress, ReadersHoldItemsWhileTheWriterChangesTheList)
{
    const int aliveBefore = TKeyItem::Alive;
    auto items = std::make_unique<TKeyItems>();
    std::atomic<bool> done{false};
    std::atomic<long> referencesTaken{0};

    auto reader = [&](unsigned seed) {
        std::mt19937 random(seed);
        std::vector<TSyncItemRef> held;
        while (!done) {
            const int count = items->Count();
            if (count == 0)
                continue;
            TSyncItemRef ref = items->ItemRef(static_cast<int>(random() % count));
            if (!ref)
                continue;
            ++referencesTaken;
            // The tag never changes after creation: a freed or reused item would show.
            EXPECT_EQ(ref.As<TKeyItem>()->Tag, ref->Id());
            // Keys change only under the write lock, so they are read under the read lock.
            items->ReadLock();
            (void)ref.As<TKeyItem>()->Key;
            items->ReadUnlock();
            held.push_back(std::move(ref));
            if (held.size() > 8)
                held.erase(held.begin(), held.begin() + static_cast<long>(random() % held.size()));
        }
    };

    std::vector<std::thread> readers;
    for (unsigned i = 0; i < kReaders; ++i)
        readers.emplace_back(reader, i + 1);

    std::mt19937 random(99);
    for (int n = 0; n < kItems; ++n) {
        auto item = std::make_unique<TKeyItem>(items.get(), static_cast<int>(random() % 1000), n);
        item->SetId(n);
        items->Reposition(items->Add(std::move(item)));
        if (n % 3 == 0) {
            TWriteGuard guard(*items);
            const int index = static_cast<int>(random() % items->Count());
            items->At(index)->Key = static_cast<int>(random() % 1000);
            items->Reposition(index);
        }
        if (items->Count() > kLiveLimit)
            items->Delete(static_cast<int>(random() % items->Count()));
    }
    done = true;
    for (std::thread& thread : readers)
        thread.join();

    for (int i = 1; i < items->Count(); ++i)
        ASSERT_LE(items->At(i - 1)->Key, items->At(i)->Key);
    EXPECT_GT(referencesTaken.load(), 0);
    items.reset();
    EXPECT_EQ(TKeyItem::Alive, aliveBefore);
}

} // namespace
