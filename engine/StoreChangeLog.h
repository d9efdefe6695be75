#pragma once

#include "engine/StoreTypes.h"

#include <QByteArray>

#include <memory>
#include <vector>

class TSqlDatabase;

using TStoreEvents = std::vector<std::unique_ptr<TStoreEvent>>;

// The record of changes kept in the store itself: every write transaction
// that changes something adds one row holding the notifications it gives,
// numbered in commit order. Every process that has the store open reads the
// rows after the last one it delivered, so a change made by one program
// reaches the windows of all others. Rows older than an hour are trimmed a
// few at a time by later writes.
class TStoreChangeLog
{
public:
    // The notifications as the bytes of one row.
    [[nodiscard]] static QByteArray Encode(const TStoreEvents& events);
    // Reads back what Encode wrote. False, and nothing added, for bytes it
    // did not write (a damaged row), which are then skipped.
    [[nodiscard]] static bool Decode(const QByteArray& bytes, TStoreEvents& events);

    // Adds the notifications of the running write transaction as one row.
    static void Append(TSqlDatabase& db, const TStoreEvents& events);
    // The number of the newest row; 0 for none.
    [[nodiscard]] static qint64 LastSequence(TSqlDatabase& db);
};
