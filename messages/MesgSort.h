#pragma once

#include "messages/MesgFields.h"

#include <QObject>

#include <vector>

class TMesgItem;

// The sort keys of a message list. They live in a namespace of their own
// so that Qt knows their names: a list publishes its key as a property,
// which the settings file stores and the sort dialog offers by name.
namespace MesgSortKeys {
Q_NAMESPACE

enum TMessageSort : int {
    msColumns,        // the visible columns in display order: the first that differs decides
    msSubject,
    msFrom,           // from name, then from address
    msFromEmail,
    msFromRealName,
    msTo,             // to name, then to address
    msToEmail,
    msToRealName,
    msDateSent,
    msDateReceived,
};
Q_ENUM_NS(TMessageSort)

} // namespace MesgSortKeys

using MesgSortKeys::TMessageSort;
using enum MesgSortKeys::TMessageSort;
constexpr int kMessageSortCount = msDateReceived + 1;

// How a list is ordered: the key, the direction, and for msColumns the
// visible columns (fields of TMailColumnType) in their display order.
struct TSortOrder {
    TMessageSort Key = msSubject;
    bool Invert = false;
    std::vector<int> Columns;
};

// One field of two messages: negative when `a` comes first.
[[nodiscard]] int CompareField(const TMesgItem& a, const TMesgItem& b, int field);
// Two messages in the given order; equal keys fall back to the sent dates,
// and Invert reverses the whole result, that fallback included.
[[nodiscard]] int CompareMessages(const TMesgItem& a, const TMesgItem& b, const TSortOrder& order);
// The sort key a click on a column's header chooses.
[[nodiscard]] TMessageSort SortForColumn(int field);
