#pragma once

#include "messages/MesgItem.h"

#include <atomic>

// A message of a store folder. Its id is the store's message id.
class TOeMesgItem : public TMesgItem
{
public:
    using TMesgItem::TMesgItem;

    // A held source is copied; otherwise the message is read from the store
    // (main thread) under the collection's write lock.
    void WriteSource(TStream& target) override;

    // Set when the collection has just written the message itself: the next
    // new-message notification for it is then ignored.
    [[nodiscard]] bool SkipMark() const { return FSkipMark.load(); }
    void SetSkipMark(bool skip) { FSkipMark.store(skip); }

private:
    std::atomic<bool> FSkipMark{false};
};
