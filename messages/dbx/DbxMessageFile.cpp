#include "messages/dbx/DbxMessageFile.h"

#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxIndexedInfo.h"
#include "messages/dbx/DbxTree.h"

#include <algorithm>
#include <unordered_set>

using namespace DbxFormat;

bool TDbxMessageFile::IsBlock(qint64 offset) const
{
    if (offset < kFileHeaderSize || !FBytes.Contains(offset, kBlockHeaderSize) ||
        FBytes.U32Unchecked(offset) != offset)
        return false;
    const quint32 body = FBytes.U32Unchecked(offset + kBlockBodyLength);
    const quint32 text = FBytes.U32Unchecked(offset + kBlockTextLength);
    return body == kBlockBodySize && text <= body && FBytes.Contains(offset + kBlockHeaderSize, text);
}

TDbxChainEnd TDbxMessageFile::ReadSource(quint32 offset, QByteArray& source) const
{
    std::unordered_set<quint32> seen;
    for (quint32 block = offset; block != 0;) {
        if (!IsBlock(block))
            return TDbxChainEnd::Broken;
        if (!seen.insert(block).second)
            return TDbxChainEnd::Cycle;
        const quint32 text = FBytes.U32Unchecked(block + kBlockTextLength);
        source.append(reinterpret_cast<const char*>(FBytes.Data() + block + kBlockHeaderSize), text);
        block = FBytes.U32Unchecked(block + kBlockNext);
    }
    return TDbxChainEnd::Complete;
}

void TDbxMessageFile::AddIndexed(quint32 infoOffset, TDbxMessageList& list) const
{
    TDbxIndexedInfo info;
    if (!info.Read(FBytes, infoOffset)) {
        list.IndexDamaged = true;
        return;
    }
    const std::optional<quint32> data = info.Int(mfDataOffset);
    if (!data || *data == 0) {
        // Only the header was downloaded (news, IMAP): there is no source.
        ++list.WithoutSource;
        return;
    }
    if (!IsBlock(*data)) {
        list.IndexDamaged = true;
        ++list.WithoutSource;
        return;
    }
    TDbxMessage message;
    message.DataOffset = *data;
    message.Index = info.Int(mfIndex).value_or(0);
    message.Flags = info.Int(mfFlags).value_or(0);
    message.Received = info.Time(mfDateReceived);
    list.Messages.push_back(message);
}

std::vector<quint32> TDbxMessageFile::ScanChainStarts() const
{
    // Every live block, and every block another live block points to.
    std::vector<quint32> blocks;
    std::unordered_set<quint32> successors;
    const qint64 last = FBytes.Size() - kBlockHeaderSize;
    for (qint64 offset = kFileHeaderSize; offset <= last;) {
        if (FBytes.U32Unchecked(offset) == offset && IsBlock(offset)) {
            blocks.push_back(quint32(offset));
            successors.insert(FBytes.U32Unchecked(offset + kBlockNext));
            // Text inside a block is never taken for another block.
            offset += kBlockHeaderSize + kBlockBodySize;
        } else {
            ++offset;
        }
    }
    std::vector<quint32> starts;
    std::copy_if(blocks.begin(), blocks.end(), std::back_inserter(starts),
                 [&](quint32 block) { return !successors.contains(block); });
    return starts;
}

void TDbxMessageFile::AddRecovered(TDbxMessageList& list) const
{
    std::unordered_set<quint32> known;
    for (const TDbxMessage& message : list.Messages)
        known.insert(message.DataOffset);
    for (quint32 start : ScanChainStarts()) {
        if (known.contains(start))
            continue;
        TDbxMessage message;
        message.DataOffset = start;
        message.Recovered = true;
        list.Messages.push_back(message);
        ++list.Recovered;
    }
}

TDbxMessageList TDbxMessageFile::Messages() const
{
    TDbxMessageList list;
    const quint32 root = FBytes.U32(kTreeRootOffset).value_or(0);
    const quint32 expected = FBytes.U32(kTreeEntriesOffset).value_or(0);
    const TDbxTreeValues tree = ReadDbxTree(FBytes, root, expected);
    list.IndexDamaged = !tree.Intact || !FBytes.Contains(0, kFileHeaderSize);
    std::unordered_set<quint32> seen;
    for (quint32 info : tree.Values) {
        if (seen.insert(info).second)
            AddIndexed(info, list);
        else
            list.IndexDamaged = true;
    }
    // Two infos naming the same source would import it twice.
    std::unordered_set<quint32> sources;
    std::erase_if(list.Messages, [&](const TDbxMessage& m) { return !sources.insert(m.DataOffset).second; });
    // A count in the header that differs from the tree is only a hint: the
    // index counts as damaged when the scan finds what the tree lacks.
    if (list.IndexDamaged || !tree.CountMatches) {
        AddRecovered(list);
        list.IndexDamaged = list.IndexDamaged || list.Recovered > 0;
    }
    return list;
}
