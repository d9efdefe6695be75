#pragma once

// The one guard family for the nestable begin / end pairs of the system:
// batches of a collection, updates of a list control or of a settings
// collection. The begin runs when the guard is made and the matching end
// when it goes, also when an exception passes, so that a failing change
// can never leave a lock held or painting locked.
//
//     using TBatchGuard = TScopedBatch<TSyncItems, &TSyncItems::BeginBatch, &TSyncItems::EndBatch>;
template <class T, void (T::*Begin)(), void (T::*End)()>
class TScopedBatch
{
public:
    explicit TScopedBatch(T& target) : FTarget(target) { (FTarget.*Begin)(); }
    ~TScopedBatch() { (FTarget.*End)(); }
    TScopedBatch(const TScopedBatch&) = delete;
    TScopedBatch& operator=(const TScopedBatch&) = delete;

private:
    T& FTarget;
};
