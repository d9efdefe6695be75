#include "base/SyncItems.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <bit>

// ---------------------------------------------------------------- TSyncItem

TSyncItem::TSyncItem(TSyncItems* owner)
    : FOwner(owner)
    // A new item is known by its creation tick until a descendant sets its natural key.
    , FId(static_cast<qintptr>(QDeadlineTimer::current().deadline()))
{
    if (!owner)
        throw ESyncError(QStringLiteral("invalid create TSyncItem: Owner = nil"));
}

TSyncItem::~TSyncItem() = default;

void TSyncItem::SetOwner(TSyncItems* owner)
{
    if (!owner)
        throw ESyncError(QStringLiteral("invalid create TSyncItem: Owner = nil"));
    if (owner == FOwner)
        return;
    TSyncItems* old = FOwner;
    FOwner = owner;
    // Only a listed item has a place to leave; one held by a caller just changes hands.
    if (FListed.load())
        if (std::unique_ptr<TSyncItem> self = old->Extract(this))
            owner->Add(std::move(self));
}

void TSyncItem::Assign(const TSyncItem& source)
{
    FId = source.FId;
}

int TSyncItem::RefCount() const
{
    return static_cast<int>(FState.load() & ~kRemoved);
}

bool TSyncItem::PendingFree() const
{
    return (FState.load() & kRemoved) != 0;
}

bool TSyncItem::TryAddRef()
{
    unsigned state = FState.load();
    do {
        if (state & kRemoved)
            return false;
    } while (!FState.compare_exchange_weak(state, state + 1));
    return true;
}

void TSyncItem::Release()
{
    unsigned state = FState.load();
    do {
        if ((state & ~kRemoved) == 0)
            return;   // no reference to give back
    } while (!FState.compare_exchange_weak(state, state - 1));
    if (state == (kRemoved | 1))
        delete this;
}

void TSyncItem::ReleaseRemoved()
{
    if (FState.fetch_or(kRemoved) == 0)
        delete this;
}

// ------------------------------------------------------------- TSyncItemRef

TSyncItemRef::TSyncItemRef(TSyncItem* item)
    : FItem(item && item->TryAddRef() ? item : nullptr)
{
}

TSyncItemRef& TSyncItemRef::operator=(TSyncItemRef&& other) noexcept
{
    if (this != &other) {
        Reset();
        FItem = std::exchange(other.FItem, nullptr);
    }
    return *this;
}

void TSyncItemRef::Reset()
{
    if (FItem)
        std::exchange(FItem, nullptr)->Release();
}

// --------------------------------------------------------------- TSyncItems

namespace {

// Marks one item as taken out of the search while it is re-positioned.
class TExcludedScope
{
public:
    TExcludedScope(int& excluded, int index) : FExcluded(excluded) { FExcluded = index; }
    ~TExcludedScope() { FExcluded = -1; }
    TExcludedScope(const TExcludedScope&) = delete;
    TExcludedScope& operator=(const TExcludedScope&) = delete;

private:
    int& FExcluded;
};

} // namespace

TSyncItems::TSyncItems(QObject* owner)
    : QObject(owner)
{
}

TSyncItems::~TSyncItems()
{
    // Counts as a batch that never ends, so no change handler runs while the list empties.
    ++FBatchDepth;
    TSyncItems::Clear();
}

int TSyncItems::Count() const
{
    TReadGuard guard(*this);
    return static_cast<int>(FList.size());
}

TSyncItem* TSyncItems::Item(int index) const
{
    TReadGuard guard(*this);
    return index >= 0 && index < static_cast<int>(FList.size()) ? FList[index] : nullptr;
}

TSyncItemRef TSyncItems::ItemRef(int index) const
{
    TReadGuard guard(*this);
    return TSyncItemRef(index >= 0 && index < static_cast<int>(FList.size()) ? FList[index] : nullptr);
}

std::unique_ptr<TSyncItem> TSyncItems::CreateItem()
{
    return std::make_unique<TSyncItem>(this);
}

int TSyncItems::Add(std::unique_ptr<TSyncItem> item)
{
    TWriteGuard guard(*this);
    const int index = static_cast<int>(FList.size());
    Insert(index, std::move(item));
    return index;
}

TSyncItem* TSyncItems::Insert(int index, std::unique_ptr<TSyncItem> item)
{
    TWriteGuard guard(*this);
    CheckIndex(index, static_cast<int>(FList.size()));
    item->SetOwner(this);
    TSyncItem* raw = item.release();
    FList.insert(FList.begin() + index, raw);
    raw->FListed = true;
    FModified = true;
    Notify(raw, TNotification::Added);
    return raw;
}

void TSyncItems::Delete(int index)
{
    TWriteGuard guard(*this);
    CheckIndex(index, static_cast<int>(FList.size()) - 1);
    TSyncItem* item = FList[index];
    FList.erase(FList.begin() + index);
    item->FListed = false;
    FModified = true;
    Notify(item, TNotification::Removed);
}

bool TSyncItems::DeleteIfInRange(int index)
{
    TWriteGuard guard(*this);
    if (index < 0 || index >= static_cast<int>(FList.size()))
        return false;
    Delete(index);
    return true;
}

void TSyncItems::Clear()
{
    TWriteGuard guard(*this);
    for (int i = static_cast<int>(FList.size()) - 1; i >= 0; --i)
        Delete(i);
}

int TSyncItems::IndexOf(const TSyncItem* item) const
{
    TReadGuard guard(*this);
    const auto found = std::find(FList.begin(), FList.end(), item);
    return found == FList.end() ? -1 : static_cast<int>(found - FList.begin());
}

void TSyncItems::Move(int from, int to)
{
    TWriteGuard guard(*this);
    const int last = static_cast<int>(FList.size()) - 1;
    CheckIndex(from, last);
    CheckIndex(to, last);
    if (from == to)
        return;
    TSyncItem* item = FList[from];
    if (from < to)
        std::move(FList.begin() + from + 1, FList.begin() + to + 1, FList.begin() + from);
    else
        std::move_backward(FList.begin() + to, FList.begin() + from, FList.begin() + from + 1);
    FList[to] = item;
    FModified = true;
}

std::unique_ptr<TSyncItem> TSyncItems::Extract(TSyncItem* item)
{
    TWriteGuard guard(*this);
    const auto found = std::find(FList.begin(), FList.end(), item);
    if (found == FList.end())
        return nullptr;
    FList.erase(found);
    item->FListed = false;
    FModified = true;
    // The item already names its new owner here, so Notify does not release it.
    Notify(item, TNotification::Removed);
    return std::unique_ptr<TSyncItem>(item);
}

void TSyncItems::Notify(TSyncItem* item, TNotification action)
{
    if (action == TNotification::Removed && item->Owner() == this)
        item->ReleaseRemoved();
}

void TSyncItems::BeginBatch()
{
    WriteLock();
    if (FBatchDepth++ == 0)
        BatchStateChanged(TBatchState::Started);
}

void TSyncItems::EndBatch()
{
    // Decided under the lock, so that a batch begun by another thread in
    // between cannot swallow this end; the handler runs unlocked.
    const bool outermost = --FBatchDepth == 0;
    WriteUnlock();
    if (outermost)
        BatchStateChanged(TBatchState::Ended);
}

void TSyncItems::BatchStateChanged(TBatchState state)
{
    if (state == TBatchState::Ended && OnBatchEnded)
        OnBatchEnded(this);
}

int TSyncItems::CompareIndexes(int a, int b) const
{
    return CompareItems(FList[a], FList[b]);
}

int TSyncItems::CompareItems(const TSyncItem*, const TSyncItem*) const
{
    return 0;
}

int TSyncItems::CompareKey(int) const
{
    return 0;
}

int TSyncItems::MapIndex(int index) const
{
    // While one item is re-positioned it is seen at the end of the list and
    // the items after its real place move up by one.
    if (FExcludedIndex < 0)
        return index;
    if (index == static_cast<int>(FList.size()) - 1)
        return FExcludedIndex;
    return index >= FExcludedIndex ? index + 1 : index;
}

int TSyncItems::SearchPlace(int a) const
{
    if (a <= 0)
        return a;
    int lo = 0;
    int hi = a - 1;
    while (hi >= lo) {
        const int mid = (lo + hi) / 2;
        const int r = CompareIndexes(MapIndex(mid), MapIndex(a));
        if (r == 0)
            return mid + 1;   // directly after the equal item the search met
        if (r > 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    // The loop ends with lo just past every item found smaller (the last
    // middle when the last comparison was positive, which equals lo).
    return lo;
}

void TSyncItems::Sort()
{
    TWriteGuard guard(*this);
    for (int a = 1; a < static_cast<int>(FList.size()); ++a)
        Move(a, SearchPlace(a));
}

int TSyncItems::Reposition(int index)
{
    TWriteGuard guard(*this);
    const int last = static_cast<int>(FList.size()) - 1;
    CheckIndex(index, last);
    int place;
    {
        TExcludedScope excluded(FExcludedIndex, index);
        place = SearchPlace(last);
    }
    Move(index, place);
    FModified = true;
    return place;
}

void TSyncItems::InsertSorted(std::vector<std::unique_ptr<TSyncItem>> items)
{
    TWriteGuard guard(*this);
    const auto before = [this](const TSyncItem* a, const TSyncItem* b) { return CompareItems(a, b) < 0; };
    std::vector<TSyncItem*> batch;
    batch.reserve(items.size());
    for (std::unique_ptr<TSyncItem>& item : items) {
        item->SetOwner(this);
        batch.push_back(item.release());
    }
    // A batch put in order beforehand (outside the lock) is not sorted again.
    if (!std::is_sorted(batch.begin(), batch.end(), before))
        std::stable_sort(batch.begin(), batch.end(), before);
    // Where each goes among the listed items. The batch is in order, so each
    // search starts where the one before it ended: a binary search each for
    // a small batch, one walk along the list for a large one.
    const size_t listed = FList.size();
    const bool walk = batch.size() * static_cast<size_t>(std::bit_width(listed)) > listed;
    std::vector<size_t> places(batch.size());
    size_t from = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        if (walk) {
            while (from < listed && !before(batch[i], FList[from]))
                ++from;
        } else {
            from = static_cast<size_t>(std::upper_bound(FList.begin() + static_cast<std::ptrdiff_t>(from), FList.end(),
                                                        batch[i], before) - FList.begin());
        }
        places[i] = from;
    }
    // From the back: the listed items at or after an item's place move up
    // by the number of new items up to and including it.
    FList.resize(listed + batch.size());
    size_t end = listed;
    for (size_t i = batch.size(); i-- > 0;) {
        const auto first = FList.begin() + static_cast<std::ptrdiff_t>(places[i]);
        std::move_backward(first, FList.begin() + static_cast<std::ptrdiff_t>(end),
                           FList.begin() + static_cast<std::ptrdiff_t>(end + i + 1));
        FList[places[i] + i] = batch[i];
        end = places[i];
    }
    FModified = true;
    for (TSyncItem* item : batch) {
        item->FListed = true;
        Notify(item, TNotification::Added);
    }
}

TSyncItems::TKeySearch TSyncItems::FindKey() const
{
    TReadGuard guard(*this);
    int lo = 0;
    int hi = static_cast<int>(FList.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int r = CompareKey(mid);
        if (r == 0)
            return {true, mid};
        if (r < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return {false, lo};   // lo is also the last middle when the last result was positive
}

int TSyncItems::IndexOfId(qintptr id) const
{
    return FindIndex([id](const TSyncItem* item) { return item->Id() == id; });
}

TSyncItem* TSyncItems::ItemById(qintptr id) const
{
    TReadGuard guard(*this);
    return Item(IndexOfId(id));
}

void TSyncItems::CheckIndex(int index, int limit) const
{
    if (index < 0 || index > limit)
        throw ESyncError(QStringLiteral("List index out of bounds (%1)").arg(index));
}
