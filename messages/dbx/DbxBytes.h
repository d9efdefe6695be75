#pragma once

#include <QtGlobal>

#include <cstring>
#include <optional>

// A read-only view of a whole .dbx file. Every read is checked against the
// file's size first: offsets come from the file itself and may point
// anywhere, so no read is ever trusted to stay inside.
class TDbxBytes
{
public:
    TDbxBytes() = default;
    TDbxBytes(const uchar* data, qint64 size) : FData(data), FSize(data ? size : 0) {}

    [[nodiscard]] qint64 Size() const { return FSize; }
    [[nodiscard]] const uchar* Data() const { return FData; }

    // True when `length` bytes from `offset` lie inside the file.
    [[nodiscard]] bool Contains(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= FSize && length <= FSize - offset;
    }

    // The little-endian 32-bit value at `offset`, when it lies inside.
    [[nodiscard]] std::optional<quint32> U32(qint64 offset) const
    {
        if (!Contains(offset, 4))
            return std::nullopt;
        return U32Unchecked(offset);
    }

    // The same for an offset that Contains() has already vouched for.
    [[nodiscard]] quint32 U32Unchecked(qint64 offset) const
    {
        const uchar* p = FData + offset;
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }

    [[nodiscard]] std::optional<quint8> U8(qint64 offset) const
    {
        if (!Contains(offset, 1))
            return std::nullopt;
        return FData[offset];
    }

private:
    const uchar* FData = nullptr;
    qint64 FSize = 0;
};
