#include "base/FastMemoryStream.h"

#include "base/SafeFile.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

qint64 TFastMemoryStream::BlockSizeFor(qint64 size)
{
    if (size <= 0)
        return kDefaultBlockSize;   // a zero block size could hold nothing
    if (size <= 65536)
        return size;
    return size <= 131072 ? 32768 : 65536;
}

TFastMemoryStream::TFastMemoryStream(qint64 blockSize)
    : FBlockSize(blockSize > 0 ? blockSize : kDefaultBlockSize)
{
}

std::unique_ptr<TFastMemoryStream> TFastMemoryStream::ForSize(qint64 size)
{
    return std::make_unique<TFastMemoryStream>(BlockSizeFor(size));
}

template <class TVisit>
void TFastMemoryStream::ForEachSpan(qint64 from, qint64 count, TVisit visit) const
{
    while (count > 0) {
        const qint64 offset = from % FBlockSize;
        const qint64 n = std::min(count, FBlockSize - offset);
        visit(FBlocks[static_cast<size_t>(from / FBlockSize)].get() + offset, n);
        from += n;
        count -= n;
    }
}

qint64 TFastMemoryStream::Read(void* buffer, qint64 count)
{
    if (FPosition < 0 || count <= 0)
        return 0;
    const qint64 n = std::min(count, FSize - FPosition);
    if (n <= 0)
        return 0;
    auto* out = static_cast<char*>(buffer);
    ForEachSpan(FPosition, n, [&out](const char* span, qint64 length) {
        std::memcpy(out, span, static_cast<size_t>(length));
        out += length;
    });
    FPosition += n;
    return n;
}

qint64 TFastMemoryStream::Write(const void* buffer, qint64 count)
{
    if (FPosition < 0 || count <= 0)
        return 0;
    if (FPosition + count > FSize)
        Grow(FPosition + count);
    const auto* in = static_cast<const char*>(buffer);
    ForEachSpan(FPosition, count, [&in](char* span, qint64 length) {
        std::memcpy(span, in, static_cast<size_t>(length));
        in += length;
    });
    FPosition += count;
    return count;
}

qint64 TFastMemoryStream::Seek(qint64 offset, TSeekOrigin origin)
{
    FPosition = SeekTarget(FPosition, FSize, offset, origin);
    return FPosition;
}

void TFastMemoryStream::SetBlockCount(qint64 count)
{
    if (count < static_cast<qint64>(FBlocks.size())) {
        FBlocks.resize(static_cast<size_t>(count));
        return;
    }
    FBlocks.reserve(static_cast<size_t>(count));
    while (static_cast<qint64>(FBlocks.size()) < count)
        FBlocks.push_back(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(FBlockSize)));
}

void TFastMemoryStream::Grow(qint64 size)
{
    SetBlockCount((size + FBlockSize - 1) / FBlockSize);
    // New blocks hold garbage, a kept last block old bytes: nothing of either may show.
    ForEachSpan(FSize, size - FSize, [](char* span, qint64 length) {
        std::memset(span, 0, static_cast<size_t>(length));
    });
    FSize = size;
}

void TFastMemoryStream::SetSize(qint64 size)
{
    if (size < 0)
        throw EStreamError(QStringLiteral("Invalid stream size %1").arg(size));
    if (size > FSize) {
        Grow(size);
        return;
    }
    SetBlockCount((size + FBlockSize - 1) / FBlockSize);
    FSize = size;
    if (size == 0)
        FPosition = 0;
}

void TFastMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const qint64 size = source.Size();
    SetSize(0);
    SetSize(size);
    ForEachSpan(0, size, [&source](char* span, qint64 length) {
        source.ReadBuffer(span, length);
    });
    FPosition = 0;
}

void TFastMemoryStream::SaveToStream(TStream& target) const
{
    ForEachSpan(0, FSize, [&target](const char* span, qint64 length) { target.WriteBuffer(span, length); });
}

void TFastMemoryStream::SaveToFile(const QString& path) const
{
    TSafeFileStream file(path, TSafeFileStream::TMode::Replace);
    SaveToStream(file);
    file.Commit();
}

void TFastMemoryStream::Assign(const TFastMemoryStream& other)
{
    if (&other == this)
        return;
    Clear();
    FBlockSize = BlockSizeFor(other.FSize);
    other.ForEachSpan(0, other.FSize, [this](const char* span, qint64 length) { Write(span, length); });
    FPosition = other.FPosition;
}

void TFastMemoryStream::LoadFromDevice(QIODevice& source)
{
    if (!source.isSequential())
        source.seek(0);
    const qint64 size = source.isSequential() ? source.bytesAvailable() : source.size();
    Clear();
    if (size <= 0)
        return;
    if (FBlocks.empty())
        FBlockSize = BlockSizeFor(size);
    SetSize(size);
    qint64 done = 0;
    bool failed = false;
    ForEachSpan(0, size, [&](char* span, qint64 length) {
        if (failed)
            return;
        const qint64 got = source.read(span, length);
        done += std::max<qint64>(got, 0);
        failed = got != length;
    });
    FPosition = 0;
    if (failed) {
        // Keep what arrived; nothing beyond it may look like content.
        SetSize(done);
        throw EReadError(QStringLiteral("FastMemoryStream: Error reading from IStream"));
    }
}

QByteArray TFastMemoryStream::ToByteArray() const
{
    QByteArray bytes;
    bytes.reserve(FSize);
    ForEachSpan(0, FSize, [&bytes](const char* span, qint64 length) { bytes.append(span, length); });
    return bytes;
}
