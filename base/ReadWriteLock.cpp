#include "base/ReadWriteLock.h"

#include <algorithm>

std::vector<TReadWriteLock::TReader>::iterator TReadWriteLock::FindReader(std::thread::id thread)
{
    return std::find_if(FReaders.begin(), FReaders.end(), [thread](const TReader& r) { return r.Thread == thread; });
}

bool TReadWriteLock::OthersRead(std::thread::id thread) const
{
    return std::any_of(FReaders.begin(), FReaders.end(), [thread](const TReader& r) { return r.Thread != thread; });
}

void TReadWriteLock::ReadLock()
{
    const auto me = std::this_thread::get_id();
    std::unique_lock lock(FMutex);
    auto reader = FindReader(me);
    if (reader != FReaders.end()) {
        ++reader->Depth;
        return;
    }
    FChanged.wait(lock, [&] { return FWriter == me || (FWriter == std::thread::id() && FWaitingWriters == 0); });
    FReaders.push_back({me, 1});
}

void TReadWriteLock::ReadUnlock()
{
    const auto me = std::this_thread::get_id();
    std::lock_guard lock(FMutex);
    auto reader = FindReader(me);
    if (reader == FReaders.end())
        return;   // not held by this thread: nothing to give back
    if (--reader->Depth > 0)
        return;
    FReaders.erase(reader);
    FChanged.notify_all();
}

bool TReadWriteLock::WriteLock()
{
    const auto me = std::this_thread::get_id();
    std::unique_lock lock(FMutex);
    if (FWriter == me) {
        ++FWriteDepth;
        return true;
    }
    // An upgrading reader steps aside while it waits; two upgrading readers
    // would otherwise wait for each other for ever.
    int heldReads = 0;
    if (auto reader = FindReader(me); reader != FReaders.end()) {
        heldReads = reader->Depth;
        FReaders.erase(reader);
        FChanged.notify_all();
    }
    const unsigned seen = FWriteCount;
    ++FWaitingWriters;
    FChanged.wait(lock, [&] { return FWriter == std::thread::id() && !OthersRead(me); });
    --FWaitingWriters;
    FWriter = me;
    FWriteDepth = 1;
    ++FWriteCount;
    if (heldReads > 0)
        FReaders.push_back({me, heldReads});
    return heldReads == 0 || FWriteCount == seen + 1;
}

void TReadWriteLock::WriteUnlock()
{
    std::lock_guard lock(FMutex);
    if (FWriter != std::this_thread::get_id())
        return;   // not held by this thread
    if (--FWriteDepth > 0)
        return;
    FWriter = std::thread::id();
    FChanged.notify_all();
}

bool TReadWriteLock::IsWriter() const
{
    std::lock_guard lock(FMutex);
    return FWriter == std::this_thread::get_id();
}
