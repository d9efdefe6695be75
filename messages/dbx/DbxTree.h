#pragma once

#include "messages/dbx/DbxBytes.h"

#include <vector>

// The values stored in a .dbx tree (pointers to indexed info objects), in
// the tree's order.
struct TDbxTreeValues {
    std::vector<quint32> Values;
    // False when some node could not be read (bad marker, outside the file,
    // visited twice, too deep) or the tree holds another number of values
    // than its header says: the values found are kept either way.
    bool Intact = true;
};

// Walks the tree whose root node is at `root`; `expected` is the number of
// values the file header says the tree holds. A root of 0 is an empty tree.
[[nodiscard]] TDbxTreeValues ReadDbxTree(const TDbxBytes& bytes, quint32 root, quint32 expected);
