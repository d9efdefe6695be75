#include "messages/dbx/DbxTree.h"

#include "messages/dbx/DbxFormat.h"

#include <unordered_set>

using namespace DbxFormat;

namespace {

class TTreeWalker
{
public:
    TTreeWalker(const TDbxBytes& bytes, TDbxTreeValues& result) : FBytes(bytes), FResult(result) {}

    // Visits a subtree; a child pointer of 0 is an empty subtree. `stored`
    // is how many values the parent node says the subtree holds.
    void Visit(quint32 node, quint32 stored, int depth)
    {
        const size_t before = FResult.Values.size();
        VisitNode(node, depth);
        if (FResult.Values.size() - before != stored)
            FResult.CountMatches = false;
    }

private:
    void VisitNode(quint32 node, int depth)
    {
        if (node == 0)
            return;
        if (!IsNode(node) || depth > kMaxTreeDepth || !FVisited.insert(node).second) {
            FResult.Intact = false;
            return;
        }
        const int entries = *FBytes.U8(node + kNodeEntryCount);
        if (entries > kMaxNodeEntries) {
            FResult.Intact = false;
            return;
        }
        Visit(FBytes.U32Unchecked(node + kNodeFirstChild), FBytes.U32Unchecked(node + kNodeFirstChildCount),
              depth + 1);
        for (int i = 0; i < entries; ++i) {
            const qint64 entry = node + kNodeEntries + i * kNodeEntrySize;
            FResult.Values.push_back(FBytes.U32Unchecked(entry));
            Visit(FBytes.U32Unchecked(entry + 4), FBytes.U32Unchecked(entry + 8), depth + 1);
        }
    }

    [[nodiscard]] bool IsNode(quint32 node) const
    {
        return node >= kFileHeaderSize && FBytes.Contains(node, kTreeNodeSize) && FBytes.U32Unchecked(node) == node;
    }

    const TDbxBytes& FBytes;
    TDbxTreeValues& FResult;
    // Every node is visited once: a pointer back up the tree (a cycle)
    // ends that branch instead of the walk going round for ever.
    std::unordered_set<quint32> FVisited;
};

} // namespace

TDbxTreeValues ReadDbxTree(const TDbxBytes& bytes, quint32 root, quint32 expected)
{
    TDbxTreeValues result;
    TTreeWalker(bytes, result).Visit(root, expected, 0);
    return result;
}
