#include "tests/base/StreamTestSupport.h"

#include <algorithm>

QByteArray Pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) % 253);
    return bytes;
}

TLimitedDevice::TLimitedDevice(QByteArray data, qint64 limit)
    : FData(std::move(data))
    , FLimit(limit)
{
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

qint64 TLimitedDevice::readData(char* data, qint64 maxSize)
{
    const qint64 n = std::min({maxSize, FLimit - pos(), FData.size() - pos()});
    if (n <= 0)
        return pos() < FData.size() ? -1 : 0;
    std::copy_n(FData.constData() + pos(), n, data);
    return n;
}

qint64 TLimitedDevice::writeData(const char* data, qint64 size)
{
    const qint64 n = std::min(size, FLimit - FWritten.size());
    FWritten.append(data, n);
    return n;
}
