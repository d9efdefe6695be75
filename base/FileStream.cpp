#include "base/FileStream.h"

#include <algorithm>

TFileStream::TFileStream(const QString& path, TMode mode)
    : FFile(path)
{
    // Unbuffered: the buffered streams of this module buffer themselves.
    QIODevice::OpenMode openMode = QIODevice::Unbuffered;
    switch (mode) {
    case TMode::Create:
        openMode |= QIODevice::ReadWrite | QIODevice::Truncate;
        break;
    case TMode::OpenRead:
        openMode |= QIODevice::ReadOnly | QIODevice::ExistingOnly;
        break;
    case TMode::OpenWrite:
        openMode |= QIODevice::WriteOnly | QIODevice::ExistingOnly;
        break;
    case TMode::OpenReadWrite:
        openMode |= QIODevice::ReadWrite | QIODevice::ExistingOnly;
        break;
    }
    if (FFile.open(openMode))
        return;
    const QString reason = FFile.errorString();
    if (mode == TMode::Create)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason), reason);
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason), reason);
}

qint64 TFileStream::Read(void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    return std::max<qint64>(FFile.read(static_cast<char*>(buffer), count), 0);
}

qint64 TFileStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    return std::max<qint64>(FFile.write(static_cast<const char*>(buffer), count), 0);
}

qint64 TFileStream::Seek(qint64 offset, TSeekOrigin origin)
{
    const qint64 target = SeekTarget(FFile.pos(), FFile.size(), offset, origin);
    if (target >= 0)
        FFile.seek(target);
    return FFile.pos();
}

qint64 TFileStream::Size()
{
    return FFile.size();
}

void TFileStream::SetSize(qint64 size)
{
    if (!FFile.resize(size))
        throw EWriteError(QStringLiteral("Cannot resize file \"%1\". %2").arg(FFile.fileName(), FFile.errorString()));
}
