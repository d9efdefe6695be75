#include "base/SyncList.h"
#include "tests/base/KeyItems.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

std::vector<int> Keys(const TKeyItems& items)
{
    std::vector<int> keys;
    for (int i = 0; i < items.Count(); ++i)
        keys.push_back(items.At(i)->Key);
    return keys;
}

std::vector<int> Tags(const TKeyItems& items)
{
    std::vector<int> tags;
    for (int i = 0; i < items.Count(); ++i)
        tags.push_back(items.At(i)->Tag);
    return tags;
}

TEST(SyncItem, NeedsAnOwner)
{
    try {
        TSyncItem item(nullptr);
        FAIL() << "no error";
    } catch (const ESyncError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("invalid create TSyncItem: Owner = nil"));
    }
    TKeyItems items;
    EXPECT_THROW(items.Append(1)->SetOwner(nullptr), ESyncError);
}

TEST(SyncItems, SortByBinaryInsertion)
{
    TKeyItems items;
    std::vector<int> keys(300);
    std::mt19937 random(3);
    for (int& key : keys) {
        key = static_cast<int>(random() % 50);
        items.Append(key);
    }
    items.SetModified(false);
    items.Sort();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(Keys(items), keys);
    EXPECT_TRUE(items.Modified());
    EXPECT_EQ(items.SelfCompares, 0);
}

// The binary search meets the middle item first; an equal item goes right after it.
TEST(SyncItems, EqualKeyGoesRightAfterTheEqualItemMetFirst)
{
    TKeyItems items;
    for (int tag = 0; tag < 5; ++tag)
        items.Append(7, tag);
    items.Append(7, 99);
    EXPECT_EQ(items.Reposition(5), 3);   // search meets index 2 first
    EXPECT_EQ(Tags(items), (std::vector<int>{0, 1, 2, 99, 3, 4}));
}

std::vector<std::unique_ptr<TSyncItem>> Batch(TKeyItems& items, const std::vector<std::pair<int, int>>& keysAndTags)
{
    std::vector<std::unique_ptr<TSyncItem>> batch;
    for (const auto& [key, tag] : keysAndTags)
        batch.push_back(std::make_unique<TKeyItem>(&items, key, tag));
    return batch;
}

// A batch goes in sorted; equal items keep their order, new ones after listed ones.
TEST(SyncItems, InsertSortedListsABatchInOrder)
{
    TKeyItems items;
    for (const int key : {1, 3, 5, 5, 7})
        items.Append(key, key * 10);
    items.SetModified(false);
    items.InsertSorted(Batch(items, {{5, 1}, {0, 2}, {9, 3}, {5, 4}, {3, 5}, {1, 6}}));
    EXPECT_EQ(Keys(items), (std::vector<int>{0, 1, 1, 3, 3, 5, 5, 5, 5, 7, 9}));
    EXPECT_EQ(Tags(items), (std::vector<int>{2, 10, 6, 30, 5, 50, 50, 1, 4, 70, 3}));
    EXPECT_TRUE(items.Modified());
    for (int i = 0; i < items.Count(); ++i)
        EXPECT_TRUE(items.At(i)->Listed());
    items.InsertSorted({});
    EXPECT_EQ(items.Count(), 11);
}

// A few items into a long list: a binary search each, not a walk along it.
TEST(SyncItems, InsertSortedSearchesForTheFewAmongTheMany)
{
    TKeyItems items;
    for (int key = 0; key < 4096; ++key)
        items.Append(2 * key);
    items.Compares = 0;
    items.InsertSorted(Batch(items, {{4001, 1}, {7, 2}}));
    EXPECT_LE(items.Compares, 2 * 2 + 2 * 13);
    EXPECT_EQ(items.At(4)->Tag, 2);
    EXPECT_EQ(items.At(2002)->Tag, 1);
}

// A folder's items arriving in batches that grow with the list: every
// batch is ordered and placed with O(b log b + min(b log n, n)) comparisons,
// so that the whole list costs O(n log n) of them (and its moves O(n) a batch).
TEST(SyncItems, InsertSortedInGrowingBatchesCostsNLogNComparisons)
{
    constexpr int kItems = 1 << 16;
    TKeyItems items;
    std::mt19937 random(5);
    std::vector<int> keys;
    while (items.Count() < kItems) {
        const int size = std::max(64, items.Count() / 4);
        std::vector<std::pair<int, int>> batch;
        for (int i = 0; i < size && items.Count() + i < kItems; ++i) {
            keys.push_back(static_cast<int>(random() % 1000000));
            batch.emplace_back(keys.back(), 0);
        }
        items.InsertSorted(Batch(items, batch));
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(Keys(items), keys);
    EXPECT_LT(items.Compares, 3 * kItems * 16);   // 16 = log2(kItems)
}

// The last item is searched among those before it; any other as if it were
// at the end, without ever being compared with itself.
TEST(SyncItems, RepositionMovesOneItemToItsPlace)
{
    TKeyItems items;
    for (int key : {10, 20, 30, 40, 50})
        items.Append(key);

    items.Append(35);
    EXPECT_EQ(items.Reposition(5), 3);
    EXPECT_EQ(Keys(items), (std::vector<int>{10, 20, 30, 35, 40, 50}));

    items.At(1)->Key = 45;
    items.SetModified(false);
    EXPECT_EQ(items.Reposition(1), 4);
    EXPECT_EQ(Keys(items), (std::vector<int>{10, 30, 35, 40, 45, 50}));
    EXPECT_TRUE(items.Modified());

    items.At(5)->Key = 1;
    EXPECT_EQ(items.Reposition(5), 0);
    items.At(0)->Key = 100;
    EXPECT_EQ(items.Reposition(0), 5);
    EXPECT_EQ(Keys(items), (std::vector<int>{10, 30, 35, 40, 45, 100}));
    EXPECT_EQ(items.SelfCompares, 0);
}

struct TKeyCase {
    const char* Name;
    std::vector<int> Keys;
    int Search;
    bool Found;
    int Index;
};

class FindKey : public ::testing::TestWithParam<TKeyCase>
{
};

TEST_P(FindKey, HitOrInsertionPlace)
{
    const TKeyCase& c = GetParam();
    TKeyItems items;
    for (int key : c.Keys)
        items.Append(key);
    items.SearchKey = c.Search;
    const auto result = items.FindKey();
    EXPECT_EQ(result.Found, c.Found);
    EXPECT_EQ(result.Index, c.Index);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindKey,
    ::testing::Values(TKeyCase{"Empty", {}, 5, false, 0},
                      TKeyCase{"Hit", {1, 3, 5, 7}, 5, true, 2},
                      TKeyCase{"BeforeAll", {1, 3, 5, 7}, 0, false, 0},
                      TKeyCase{"Between", {1, 3, 5, 7}, 4, false, 2},
                      TKeyCase{"AfterAll", {1, 3, 5, 7}, 9, false, 4}),
    [](const auto& info) { return std::string(info.param.Name); });

// A removed item that a painter still holds lives until the painter lets go.
TEST(SyncItems, RemovedItemLivesUntilTheLastReferenceGoes)
{
    const int aliveBefore = TKeyItem::Alive;
    TKeyItems items;
    items.Append(1);
    items.Append(2);
    TSyncItemRef painter = items.ItemRef(0);
    TSyncItemRef parser = items.ItemRef(0);
    ASSERT_TRUE(painter);
    EXPECT_EQ(painter->RefCount(), 2);

    items.Delete(0);
    EXPECT_EQ(TKeyItem::Alive, aliveBefore + 2);
    EXPECT_TRUE(painter->PendingFree());
    EXPECT_FALSE(TSyncItemRef(painter.Get()));   // never handed out again
    painter.Reset();
    EXPECT_EQ(TKeyItem::Alive, aliveBefore + 2);
    parser.Reset();
    EXPECT_EQ(TKeyItem::Alive, aliveBefore + 1);

    EXPECT_FALSE(items.ItemRef(5));
    items.Clear();
    EXPECT_EQ(TKeyItem::Alive, aliveBefore);
}

TEST(SyncItems, CollectionGoesBeforeAReferencedItem)
{
    const int aliveBefore = TKeyItem::Alive;
    TSyncItemRef held;
    {
        TKeyItems items;
        items.Append(1);
        held = items.ItemRef(0);
    }
    EXPECT_EQ(TKeyItem::Alive, aliveBefore + 1);
    held.Reset();
    EXPECT_EQ(TKeyItem::Alive, aliveBefore);
}

// The change handler runs once, when the outermost batch ends, and never
// while the collection is destroyed.
TEST(SyncItems, ChangeHandlerRunsWhenTheOutermostBatchEnds)
{
    int changes = 0;
    {
        TKeyItems items;
        items.OnBatchEnded = [&changes](TSyncItems*) { ++changes; };
        items.BeginBatch();
        items.BeginBatch();
        items.Append(1);
        items.EndBatch();
        EXPECT_EQ(changes, 0);
        items.EndBatch();
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(items.BatchDepth(), 0);
        items.Append(2);
    }
    EXPECT_EQ(changes, 1);
}

// A change that fails inside a batch still ends it: the write lock goes and
// the change handler runs, so that other threads and the list go on.
TEST(SyncItems, ABatchGuardEndsTheBatchWhenTheChangeFails)
{
    int changes = 0;
    TKeyItems items;
    items.OnBatchEnded = [&changes](TSyncItems*) { ++changes; };
    try {
        const TBatchGuard batch(items);
        items.Append(1);
        throw ESyncError(QStringLiteral("failed change"));
    } catch (const ESyncError&) {
    }
    EXPECT_EQ(items.BatchDepth(), 0);
    EXPECT_EQ(changes, 1);
    std::thread([&items] { items.Append(2); }).join();   // would wait for ever on a lock left held
    EXPECT_EQ(items.Count(), 2);
}

TEST(SyncItems, SetOwnerMovesTheItem)
{
    TKeyItems first;
    TKeyItems second;
    first.Append(1);
    TKeyItem* moving = first.Append(2);
    second.Append(3);
    moving->SetOwner(&second);
    EXPECT_EQ(Keys(first), (std::vector<int>{1}));
    EXPECT_EQ(Keys(second), (std::vector<int>{3, 2}));
    EXPECT_EQ(moving->Owner(), &second);
}

TEST(SyncItems, FindsItemsById)
{
    TKeyItems items;
    items.Append(1)->SetId(100);
    items.Append(2)->SetId(200);
    EXPECT_EQ(items.IndexOfId(200), 1);
    EXPECT_EQ(items.IndexOfId(300), -1);
    EXPECT_EQ(items.ItemById(100), items.Item(0));
    EXPECT_EQ(items.ItemById(300), nullptr);

    auto copy = items.CreateItem();
    copy->Assign(*items.Item(1));
    EXPECT_EQ(copy->Id(), 200);
}

TEST(SyncItems, IndexesOutOfRangeAreRefused)
{
    TKeyItems items;
    items.Append(1);
    EXPECT_THROW(items.Delete(1), ESyncError);
    EXPECT_THROW(items.Insert(3, items.CreateItem()), ESyncError);
    EXPECT_THROW(items.Move(0, 1), ESyncError);
    EXPECT_FALSE(items.DeleteIfInRange(-1));
    EXPECT_EQ(items.Item(1), nullptr);
    EXPECT_TRUE(items.DeleteIfInRange(0));
    EXPECT_EQ(items.Count(), 0);
}

} // namespace

namespace {

TEST(SyncList, FreesRemovedObjectsUnlessAHandlerTakesThem)
{
    TKeyItems owner;
    const int aliveBefore = TKeyItem::Alive;
    {
        TSyncList<TKeyItem> list;
        list.Add(new TKeyItem(&owner, 1));
        TKeyItem* second = new TKeyItem(&owner, 2);
        list.Insert(0, second);
        EXPECT_EQ(list.IndexOf(second), 0);
        EXPECT_EQ(list.Remove(second), 0);
        EXPECT_EQ(TKeyItem::Alive, aliveBefore + 1);

        std::vector<int> handed;
        list.SetRemovalHandler([&handed](TKeyItem* item) {
            handed.push_back(item->Key);
            delete item;
        });
        list.Add(new TKeyItem(&owner, 3));
        list.Delete(0);
        EXPECT_EQ(handed, std::vector<int>{1});
        EXPECT_EQ(list.Count(), 1);
        list.Delete(5);   // out of range: nothing
        list.Clear();
        EXPECT_EQ(handed, (std::vector<int>{1, 3}));
    }
    EXPECT_EQ(TKeyItem::Alive, aliveBefore);
}

} // namespace
