#pragma once

#include "base/Exception.h"
#include "base/ReadWriteLock.h"
#include "base/ScopedBatch.h"

#include <QObject>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class TSyncItems;

// Misuse of a collection: an index out of range, an item without an owner.
class ESyncError : public Exception
{
public:
    using Exception::Exception;
};

// The base of every list item. An item belongs to one collection, which
// frees it when it is removed, unless a thread still holds a reference to
// it: then the item is marked pending free and the last reference frees it.
//
// The reference count and the pending-free mark share one atomic word, so
// that taking a reference, releasing it and removing the item decide between
// them, without a lock, which one of them frees the item; the item never
// needs its collection to be alive for that.
class TSyncItem
{
public:
    // Raises ESyncError "invalid create TSyncItem: Owner = nil" without an owner.
    explicit TSyncItem(TSyncItems* owner);
    virtual ~TSyncItem();
    TSyncItem(const TSyncItem&) = delete;
    TSyncItem& operator=(const TSyncItem&) = delete;

    [[nodiscard]] TSyncItems* Owner() const { return FOwner; }
    // Moves the item to another collection: an item listed in its old
    // collection leaves it and is appended to the new one. No owner is an error.
    virtual void SetOwner(TSyncItems* owner);
    // Copies what identifies the item (the id); descendants copy their fields.
    virtual void Assign(const TSyncItem& source);

    [[nodiscard]] qintptr Id() const { return FId; }
    void SetId(qintptr id) { FId = id; }

    // Holders outside the collection; 0 normally.
    [[nodiscard]] int RefCount() const;
    // True while the item is in its owner's list (only the owner's writers change it).
    [[nodiscard]] bool Listed() const { return FListed.load(); }
    [[nodiscard]] bool PendingFree() const;

    // Takes a reference unless the item has been removed; see TSyncItemRef.
    [[nodiscard]] bool TryAddRef();
    // Drops a reference; the last one frees an item that was removed meanwhile.
    void Release();

private:
    friend class TSyncItems;
    static constexpr unsigned kRemoved = 0x80000000u;

    // Called once by the collection that removes the item: frees it at once
    // when nobody holds it, otherwise leaves that to the last Release().
    void ReleaseRemoved();

    TSyncItems* FOwner;
    qintptr FId;
    std::atomic<unsigned> FState{0};     // reference count | kRemoved
    std::atomic<bool> FListed{false};     // in its owner's list (changed under the owner's write lock)
};

// A counted reference to an item, released when the holder goes. A thread
// that works on an item outside the collection's lock holds one of these.
class TSyncItemRef
{
public:
    TSyncItemRef() = default;
    // Takes a reference on `item`; empty when the item is pending free.
    explicit TSyncItemRef(TSyncItem* item);
    ~TSyncItemRef() { Reset(); }
    TSyncItemRef(TSyncItemRef&& other) noexcept : FItem(std::exchange(other.FItem, nullptr)) {}
    TSyncItemRef& operator=(TSyncItemRef&& other) noexcept;
    TSyncItemRef(const TSyncItemRef&) = delete;
    TSyncItemRef& operator=(const TSyncItemRef&) = delete;

    [[nodiscard]] TSyncItem* Get() const { return FItem; }
    template <class T>
    [[nodiscard]] T* As() const { return static_cast<T*>(FItem); }
    TSyncItem* operator->() const { return FItem; }
    explicit operator bool() const { return FItem != nullptr; }
    void Reset();

private:
    TSyncItem* FItem = nullptr;
};

// An ordered, owning list of items behind a multi-reader/single-writer lock,
// usable from any thread. Readers take the read lock (or a counted
// reference); every change takes the write lock. Changes can be grouped in
// batches; when the outermost batch ends, the change handler runs.
//
// Descendants define the order (CompareItems) and the key search
// (CompareKey). Their destructors must clear the collection themselves when
// their Notify override has to see the removals: the base destructor runs
// after theirs.
class TSyncItems : public QObject
{
    Q_OBJECT
public:
    enum class TNotification { Added, Removed };
    enum class TBatchState { Started, Ended };
    using TChangeEvent = std::function<void(TSyncItems* sender)>;

    struct TKeySearch {
        bool Found = false;
        int Index = 0;    // the hit, or where the key would be inserted
    };

    explicit TSyncItems(QObject* owner = nullptr);
    ~TSyncItems() override;

    [[nodiscard]] int Count() const;
    // The item at `index` under the read lock; none when out of range. The
    // pointer stays valid only while the caller holds a lock or a reference.
    [[nodiscard]] TSyncItem* Item(int index) const;
    // The item at `index` with a counted reference; empty when out of range
    // or when the item is pending free.
    [[nodiscard]] TSyncItemRef ItemRef(int index) const;

    // A new item of this collection's item class, owned by it but not listed.
    [[nodiscard]] virtual std::unique_ptr<TSyncItem> CreateItem();
    // Appends; returns the index.
    int Add(std::unique_ptr<TSyncItem> item);
    virtual TSyncItem* Insert(int index, std::unique_ptr<TSyncItem> item);
    virtual void Delete(int index);
    // Deletes when `index` is in range; false otherwise.
    virtual bool DeleteIfInRange(int index);
    // Removes every item, from the last to the first.
    virtual void Clear();
    [[nodiscard]] virtual int IndexOf(const TSyncItem* item) const;
    void Move(int from, int to);

    // Sorts the whole collection by binary insertion.
    virtual void Sort();
    // Moves the item at `index` to its sorted place among the others; returns its new index.
    virtual int Reposition(int index);
    // Lists new items at their sorted places as one change: they are put in
    // order among themselves (equal ones keep the order given), each finds
    // its place among the listed items, after those equal to it, and the
    // list makes room for all of them in one pass. Placing b items among n
    // costs O(min(b log n, n + b)) comparisons besides ordering the batch,
    // and O(n + b) moves, where inserting them one by one would move O(n b)
    // references.
    virtual void InsertSorted(std::vector<std::unique_ptr<TSyncItem>> items);
    // Binary search with CompareKey over the whole collection.
    [[nodiscard]] TKeySearch FindKey() const;
    [[nodiscard]] int IndexOfId(qintptr id) const;
    [[nodiscard]] TSyncItem* ItemById(qintptr id) const;
    // Walks the items in order under one read lock, however many there are
    // (Count() and Item() take the lock on every call); `visit` must not
    // change the list.
    template <class TVisit>
    void ForEachItem(TVisit&& visit) const
    {
        TReadGuard guard(*this);
        for (const TSyncItem* item : FList)
            visit(item);
    }
    // The index of the first item that `match` accepts, under one read lock; -1 when none.
    template <class TMatch>
    [[nodiscard]] int FindIndex(TMatch&& match) const
    {
        TReadGuard guard(*this);
        const auto found = std::find_if(FList.begin(), FList.end(), [&match](const TSyncItem* item) { return match(item); });
        return found == FList.end() ? -1 : static_cast<int>(found - FList.begin());
    }

    void ReadLock() const { FLock.ReadLock(); }
    void ReadUnlock() const { FLock.ReadUnlock(); }
    bool WriteLock() { return FLock.WriteLock(); }
    void WriteUnlock() { FLock.WriteUnlock(); }
    void BeginBatch();
    void EndBatch();
    [[nodiscard]] int BatchDepth() const { return FBatchDepth.load(); }

    [[nodiscard]] bool Modified() const { return FModified.load(); }
    void SetModified(bool modified) { FModified.store(modified); }

    // Runs when the outermost batch ends.
    TChangeEvent OnBatchEnded;

protected:
    // An item joined or left the list. The base releases a removed item that
    // this collection still owns, so overrides act first and call it last.
    virtual void Notify(TSyncItem* item, TNotification action);
    // The outermost batch started or ended; the end runs the change handler.
    virtual void BatchStateChanged(TBatchState state);
    // Order of the items at two indexes; by default CompareItems.
    [[nodiscard]] virtual int CompareIndexes(int a, int b) const;
    // Negative when `a` comes before `b`; 0 here (no order).
    [[nodiscard]] virtual int CompareItems(const TSyncItem* a, const TSyncItem* b) const;
    // Order of the item at `index` against the key being searched; 0 here.
    [[nodiscard]] virtual int CompareKey(int index) const;

private:
    friend class TSyncItem;

    // Takes the item out of the list without freeing it (it changes owner).
    std::unique_ptr<TSyncItem> Extract(TSyncItem* item);
    void CheckIndex(int index, int limit) const;
    // Where item `a` belongs among the `a` items before it (binary insertion).
    [[nodiscard]] int SearchPlace(int a) const;
    [[nodiscard]] int MapIndex(int index) const;

    mutable TReadWriteLock FLock;
    std::vector<TSyncItem*> FList;
    int FExcludedIndex = -1;
    std::atomic<bool> FModified{false};
    std::atomic<int> FBatchDepth{0};
};

// A batch of changes of a collection, ended also when an exception passes.
using TBatchGuard = TScopedBatch<TSyncItems, &TSyncItems::BeginBatch, &TSyncItems::EndBatch>;
