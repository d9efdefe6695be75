#pragma once

#include "base/SyncItems.h"

#include <atomic>

// Test items with an integer key and a tag, counted while they live.
class TKeyItem : public TSyncItem
{
public:
    TKeyItem(TSyncItems* owner, int key, int tag = 0) : TSyncItem(owner), Key(key), Tag(tag) { ++Alive; }
    ~TKeyItem() override { --Alive; }

    int Key;
    int Tag;
    inline static std::atomic<int> Alive{0};
};

// Orders by key; counts comparisons and notices one of an item with itself.
class TKeyItems : public TSyncItems
{
public:
    using TSyncItems::TSyncItems;

    TKeyItem* Append(int key, int tag = 0)
    {
        auto item = std::make_unique<TKeyItem>(this, key, tag);
        TKeyItem* raw = item.get();
        Add(std::move(item));
        return raw;
    }
    [[nodiscard]] TKeyItem* At(int index) const { return static_cast<TKeyItem*>(Item(index)); }

    int SearchKey = 0;
    mutable int Compares = 0;
    mutable int SelfCompares = 0;

protected:
    int CompareItems(const TSyncItem* a, const TSyncItem* b) const override
    {
        ++Compares;
        SelfCompares += a == b;
        return static_cast<const TKeyItem*>(a)->Key - static_cast<const TKeyItem*>(b)->Key;
    }
    int CompareKey(int index) const override { return At(index)->Key - SearchKey; }
};
