// Placing items at their sorted place one by one (as the parser thread
// does while a folder loads) and sorting a whole collection (as a change of
// sort key does), with a cheap integer key so that the collection's own
// costs (locking, searching, moving) show.

#include "base/SyncItems.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kItems = 100000;

class TBenchItem : public TSyncItem
{
public:
    TBenchItem(TSyncItems* owner, int key) : TSyncItem(owner), Key(key) {}
    int Key;
};

class TBenchItems : public TSyncItems
{
protected:
    int CompareItems(const TSyncItem* a, const TSyncItem* b) const override
    {
        const int x = static_cast<const TBenchItem*>(a)->Key;
        const int y = static_cast<const TBenchItem*>(b)->Key;
        return x < y ? -1 : x > y;
    }
};

std::vector<int> RandomKeys()
{
    std::mt19937 random(42);
    std::vector<int> keys(kItems);
    for (int& key : keys)
        key = static_cast<int>(random());
    return keys;
}

void BM_PlaceOneByOne(benchmark::State& state)
{
    const std::vector<int> keys = RandomKeys();
    for (auto _ : state) {
        TBenchItems items;
        for (int key : keys)
            items.Reposition(items.Add(std::make_unique<TBenchItem>(&items, key)));
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming();   // freeing the items is not part of placing them
        items.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_PlaceOneByOne)->Unit(benchmark::kMillisecond);

void BM_SortAll(benchmark::State& state)
{
    const std::vector<int> keys = RandomKeys();
    for (auto _ : state) {
        state.PauseTiming();
        TBenchItems items;
        for (int key : keys)
            items.Add(std::make_unique<TBenchItem>(&items, key));
        state.ResumeTiming();
        items.Sort();
        benchmark::DoNotOptimize(items.Item(0));
        state.PauseTiming();
        items.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_SortAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
