#pragma once

#include "base/Stream.h"

#include <QByteArray>

#include <memory>
#include <vector>

class QIODevice;

// A memory stream made of equal-sized blocks: content never moves, growth
// only adds blocks, and a large message never needs one large contiguous
// allocation. The position may lie beyond the size; writing there fills the
// gap with zeros.
class TFastMemoryStream : public TStream
{
public:
    static constexpr qint64 kDefaultBlockSize = 4096;

    // The block size for content of `size` bytes: the size itself up to
    // 64 KiB (so a small message is one block of exactly its size), 32 KiB
    // up to 128 KiB, 64 KiB above; the default for no content.
    [[nodiscard]] static qint64 BlockSizeFor(qint64 size);

    // A block size of 0 or less means kDefaultBlockSize.
    explicit TFastMemoryStream(qint64 blockSize = 0);
    // A stream sized for `size` bytes of content (block size BlockSizeFor(size)), empty.
    [[nodiscard]] static std::unique_ptr<TFastMemoryStream> ForSize(qint64 size);

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override { return FSize; }
    // Keeps exactly the blocks the size needs; size 0 also rewinds.
    void SetSize(qint64 size) override;
    void Clear() { SetSize(0); }

    // The whole of `source`, from its beginning; position 0 afterwards.
    void LoadFromStream(TStream& source);
    // Every byte, block by block, at the target's position.
    void SaveToStream(TStream& target) const;
    // Creates (or overwrites) the file and saves into it.
    void SaveToFile(const QString& path) const;
    // Becomes a copy of `other`: its bytes and its position, with the block
    // size for its size.
    void Assign(const TFastMemoryStream& other);
    // Fills the stream with the whole of a platform stream, from its
    // beginning; position 0 afterwards. Raises EReadError "FastMemoryStream:
    // Error reading from IStream" when the device delivers less than its
    // size; the stream then holds what was read.
    void LoadFromDevice(QIODevice& source);

    [[nodiscard]] qint64 BlockSize() const { return FBlockSize; }
    [[nodiscard]] int BlockCount() const { return static_cast<int>(FBlocks.size()); }
    // Block `index`, BlockSize() bytes of which the stream uses up to Size().
    [[nodiscard]] const char* Block(int index) const { return FBlocks[index].get(); }
    // A copy of the content.
    [[nodiscard]] QByteArray ToByteArray() const;

private:
    // Grows the size to `size`, zeroing the new bytes.
    void Grow(qint64 size);
    void SetBlockCount(qint64 count);
    // Calls `visit(block pointer, length)` for the bytes [from, from + count).
    template <class TVisit>
    void ForEachSpan(qint64 from, qint64 count, TVisit visit) const;

    std::vector<std::unique_ptr<char[]>> FBlocks;
    qint64 FBlockSize;
    qint64 FSize = 0;
    qint64 FPosition = 0;
};
