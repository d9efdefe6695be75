#pragma once

#include "messages/dbx/DbxBytes.h"

#include <vector>

// The values stored in a .dbx tree (pointers to indexed info objects), in
// the tree's order.
struct TDbxTreeValues {
    std::vector<quint32> Values;
    // False when some node could not be read (bad marker, outside the file,
    // visited twice, too deep): the values found are kept either way.
    bool Intact = true;
    // False when the tree, or a subtree, holds another number of values
    // than the file header or the parent node says it does. A subtree cut
    // off by a zeroed pointer shows only here.
    bool CountMatches = true;
};

// Walks the tree whose root node is at `root`; `expected` is the number of
// values the file header says the tree holds. A root of 0 is an empty tree.
[[nodiscard]] TDbxTreeValues ReadDbxTree(const TDbxBytes& bytes, quint32 root, quint32 expected);
