#include "base/Stream.h"

#include <algorithm>
#include <memory>

void TStream::ReadBuffer(void* buffer, qint64 count)
{
    if (count > 0 && Read(buffer, count) != count)
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, qint64 count)
{
    if (count > 0 && Write(buffer, count) != count)
        throw EWriteError(QStringLiteral("Stream write error"));
}

qint64 TStream::CopyFrom(TStream& source, qint64 count)
{
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    constexpr qint64 kChunk = 65536;
    const auto chunk = std::make_unique<char[]>(static_cast<size_t>(std::min(count, kChunk)));
    for (qint64 left = count; left > 0;) {
        const qint64 n = std::min(left, kChunk);
        source.ReadBuffer(chunk.get(), n);
        WriteBuffer(chunk.get(), n);
        left -= n;
    }
    return count;
}

qint64 TStream::SeekTarget(qint64 position, qint64 size, qint64 offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::Current:
        return position + offset;
    case TSeekOrigin::End:
        return size + offset;
    case TSeekOrigin::Begin:
        break;
    }
    return offset;
}
