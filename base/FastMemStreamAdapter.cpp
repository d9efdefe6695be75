#include "base/FastMemStreamAdapter.h"

#include "base/FastMemoryStream.h"

#include <algorithm>

TFastMemStreamAdapter::TFastMemStreamAdapter(TFastMemoryStream& stream, QObject* parent)
    : QIODevice(parent)
    , FStream(stream)
{
}

bool TFastMemStreamAdapter::open(OpenMode mode)
{
    // Unbuffered, so that this device's position is always the stream's.
    if (!QIODevice::open(mode | QIODevice::Unbuffered))
        return false;
    // The device starts where the stream stands.
    return QIODevice::seek(std::max<qint64>(FStream.Position(), 0));
}

qint64 TFastMemStreamAdapter::size() const
{
    return FStream.Size();
}

bool TFastMemStreamAdapter::seek(qint64 pos)
{
    if (!QIODevice::seek(pos))
        return false;
    FStream.SetPosition(pos);
    return true;
}

qint64 TFastMemStreamAdapter::readData(char* data, qint64 maxSize)
{
    FStream.SetPosition(pos());
    return FStream.Read(data, maxSize);
}

qint64 TFastMemStreamAdapter::writeData(const char* data, qint64 size)
{
    FStream.SetPosition(pos());
    return FStream.Write(data, size);
}

TFastMemStreamAdapter::TCopyResult TFastMemStreamAdapter::CopyTo(QIODevice& destination, qint64 count)
{
    TCopyResult result;
    try {
        if (count < 0) {
            count = FStream.Size();
            FStream.SetPosition(0);
            if (isOpen())
                QIODevice::seek(0);
        }
        qint64 left = std::min(count, FStream.Size());
        for (int block = 0; left > 0; ++block) {
            const qint64 n = std::min(left, FStream.BlockSize());
            result.BytesRead += n;
            const qint64 written = destination.write(FStream.Block(block), n);
            result.BytesWritten += std::max<qint64>(written, 0);
            if (written != n) {
                result.Result = kFail;
                break;
            }
            left -= n;
        }
    } catch (...) {
        result.Result = kUnexpected;
    }
    return result;
}
