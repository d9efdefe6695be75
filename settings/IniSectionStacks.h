#pragma once

#include <QtGlobal>

#include <vector>

// The current-section stacks of the string tables, one per thread and
// table. A thread's stack is created on its first use of a table, with the
// first section (0) on top, and goes away with the thread. Kept behind this
// small interface so that the stacks can move onto the thread manager's
// per-thread objects.
class TIniSectionStacks
{
public:
    // The calling thread's stack for the table; never empty.
    [[nodiscard]] static std::vector<int>& ForTable(quint64 tableId);
    // Drops the calling thread's stack for the table.
    static void Forget(quint64 tableId);
};
