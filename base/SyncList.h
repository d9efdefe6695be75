#pragma once

#include "base/ReadWriteLock.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// A plain list of object pointers in which every operation takes the list's
// own multi-reader/single-writer lock; ReadLock/WriteLock hold it across
// several operations. The list owns its objects and frees one that is
// removed from it (with TDeleter), unless a removal handler is set: the
// handler then gets the object instead.
template <class T, class TDeleter = std::default_delete<T>>
class TSyncList
{
public:
    using TRemovalHandler = std::function<void(T* object)>;

    TSyncList() = default;
    ~TSyncList() { Clear(); }
    TSyncList(const TSyncList&) = delete;
    TSyncList& operator=(const TSyncList&) = delete;

    [[nodiscard]] int Count() const
    {
        TReadGuard guard(FLock);
        return static_cast<int>(FItems.size());
    }

    // The object at `index`; none when out of range.
    [[nodiscard]] T* Get(int index) const
    {
        TReadGuard guard(FLock);
        return index >= 0 && index < static_cast<int>(FItems.size()) ? FItems[index] : nullptr;
    }

    int Add(T* object)
    {
        TWriteGuard guard(FLock);
        FItems.push_back(object);
        return static_cast<int>(FItems.size()) - 1;
    }

    // Inserts at `index`, clamped to the list.
    void Insert(int index, T* object)
    {
        TWriteGuard guard(FLock);
        index = std::clamp(index, 0, static_cast<int>(FItems.size()));
        FItems.insert(FItems.begin() + index, object);
    }

    // Removes the object at `index` (nothing when out of range).
    void Delete(int index)
    {
        T* object = nullptr;
        {
            TWriteGuard guard(FLock);
            if (index < 0 || index >= static_cast<int>(FItems.size()))
                return;
            object = FItems[index];
            FItems.erase(FItems.begin() + index);
        }
        Dispose(object);
    }

    // Removes `object`; returns its former index, -1 when it was not listed.
    int Remove(T* object)
    {
        int index = -1;
        {
            TWriteGuard guard(FLock);
            const auto found = std::find(FItems.begin(), FItems.end(), object);
            if (found == FItems.end())
                return -1;
            index = static_cast<int>(found - FItems.begin());
            FItems.erase(found);
        }
        Dispose(object);
        return index;
    }

    [[nodiscard]] int IndexOf(const T* object) const
    {
        TReadGuard guard(FLock);
        const auto found = std::find(FItems.begin(), FItems.end(), object);
        return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
    }

    void Clear()
    {
        std::vector<T*> removed;
        {
            TWriteGuard guard(FLock);
            removed.swap(FItems);
        }
        for (auto it = removed.rbegin(); it != removed.rend(); ++it)
            Dispose(*it);
    }

    // Calls `use` with every object, in order, under the read lock: no
    // object can leave the list (and be freed by whoever removes it) while
    // it is being used.
    template <class TUse>
    void ForEach(TUse&& use) const
    {
        TReadGuard guard(FLock);
        for (T* object : FItems)
            use(object);
    }

    void ReadLock() const { FLock.ReadLock(); }
    void ReadUnlock() const { FLock.ReadUnlock(); }
    void WriteLock() { FLock.WriteLock(); }
    void WriteUnlock() { FLock.WriteUnlock(); }

    void SetRemovalHandler(TRemovalHandler handler)
    {
        TWriteGuard guard(FLock);
        FOnRemove = std::move(handler);
    }

private:
    // Runs outside the lock: a handler or destructor may well use the list again.
    void Dispose(T* object)
    {
        TRemovalHandler handler;
        {
            TReadGuard guard(FLock);
            handler = FOnRemove;
        }
        if (handler)
            handler(object);
        else
            TDeleter()(object);
    }

    mutable TReadWriteLock FLock;
    std::vector<T*> FItems;
    TRemovalHandler FOnRemove;
};
