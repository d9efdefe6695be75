#include "base/BufStreams.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

} // namespace

// ------------------------------------------------ TAbstractBufStreamAdapter

TAbstractBufStreamAdapter::TAbstractBufStreamAdapter(std::unique_ptr<TStream> target, qint64 bufferSize)
    : FBuffer(static_cast<size_t>(std::max<qint64>(bufferSize, 1)))
    , FOwnedTarget(std::move(target))
    , FTarget(FOwnedTarget.get())
{
}

TAbstractBufStreamAdapter::TAbstractBufStreamAdapter(TStream& target, qint64 bufferSize)
    : FBuffer(static_cast<size_t>(std::max<qint64>(bufferSize, 1)))
    , FTarget(&target)
{
}

qint64 TAbstractBufStreamAdapter::Read(void*, qint64)
{
    throw EReadError(QStringLiteral("Read method is not Implemented"));
}

qint64 TAbstractBufStreamAdapter::Write(const void*, qint64)
{
    throw EWriteError(QStringLiteral("Write method is not Implemented"));
}

qint64 TAbstractBufStreamAdapter::Seek(qint64 offset, TSeekOrigin origin)
{
    FPosition = SeekTarget(FPosition, origin == TSeekOrigin::End ? Size() : 0, offset, origin);
    return FPosition;
}

qint64 TAbstractBufStreamAdapter::Size()
{
    return FTarget->Size();
}

void TAbstractBufStreamAdapter::SetSize(qint64 size)
{
    FlushBuffer();
    FBufferFill = 0;
    FTarget->SetSize(size);
}

void TAbstractBufStreamAdapter::SetTarget(std::unique_ptr<TStream> target)
{
    FlushBuffer();
    FOwnedTarget = std::move(target);
    FTarget = FOwnedTarget.get();
    FPosition = 0;
    FBufferStart = 0;
    FBufferFill = 0;
}

// ----------------------------------------------------------- TReadBufStream

bool TReadBufStream::Fill()
{
    FBufferStart = FPosition;
    FBufferFill = 0;
    if (FPosition < 0)
        return false;
    Target()->SetPosition(FPosition);
    FBufferFill = std::max<qint64>(Target()->Read(FBuffer.data(), BufferSize()), 0);
    return FBufferFill > 0;
}

qint64 TReadBufStream::Read(void* buffer, qint64 count)
{
    if (count <= 0 || FPosition < 0)
        return 0;
    auto* out = static_cast<char*>(buffer);
    qint64 delivered = 0;
    if (InBuffer(FPosition)) {
        delivered = std::min(count, FBufferStart + FBufferFill - FPosition);
        std::memcpy(out, FBuffer.data() + (FPosition - FBufferStart), static_cast<size_t>(delivered));
        FPosition += delivered;
    }
    const qint64 rest = count - delivered;
    if (rest > BufferSize()) {
        Target()->SetPosition(FPosition);
        const qint64 got = std::max<qint64>(Target()->Read(out + delivered, rest), 0);
        FPosition += got;
        delivered += got;
    } else if (rest > 0 && Fill()) {
        const qint64 got = std::min(rest, FBufferFill);
        std::memcpy(out + delivered, FBuffer.data(), static_cast<size_t>(got));
        FPosition += got;
        delivered += got;
    }
    return delivered;
}

QByteArray TReadBufStream::ReadLine()
{
    QByteArray line;
    for (;;) {
        if (!InBuffer(FPosition) && !Fill())
            return line;   // the end of the target ends the last line
        const char* begin = FBuffer.data() + (FPosition - FBufferStart);
        const char* end = FBuffer.data() + FBufferFill;
        const char* stop = std::find_if(begin, end, IsLineEnd);
        line.append(begin, stop - begin);
        FPosition += stop - begin;
        if (stop != end)
            break;
    }
    const char terminator = FBuffer[static_cast<size_t>(FPosition - FBufferStart)];
    ++FPosition;
    if (terminator == '\r' && (InBuffer(FPosition) || Fill()) && FBuffer[static_cast<size_t>(FPosition - FBufferStart)] == '\n')
        ++FPosition;
    return line;
}

// ---------------------------------------------------------- TWriteBufStream

TWriteBufStream::~TWriteBufStream()
{
    try {
        FlushBuffer();
    } catch (...) {
        // A destructor cannot report it; callers that care call Flush() first.
    }
}

qint64 TWriteBufStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0 || FPosition < 0)
        return 0;
    const auto* in = static_cast<const char*>(buffer);
    qint64 done = 0;
    if (FPosition >= FBufferStart && FPosition <= FBufferStart + FBufferFill) {
        const qint64 offset = FPosition - FBufferStart;
        done = std::min(count, BufferSize() - offset);
        std::memcpy(FBuffer.data() + offset, in, static_cast<size_t>(done));
        FBufferFill = std::max(FBufferFill, offset + done);
    }
    const qint64 rest = count - done;
    const qint64 at = FPosition + done;
    if (rest > BufferSize()) {
        FlushBuffer();
        Target()->SetPosition(at);
        Target()->WriteBuffer(in + done, rest);
    } else if (rest > 0) {
        FlushBuffer();
        FBufferStart = at;
        FBufferFill = rest;
        std::memcpy(FBuffer.data(), in + done, static_cast<size_t>(rest));
    }
    FPosition += count;
    return count;
}

qint64 TWriteBufStream::WriteLine(const QByteArray& line)
{
    static const QByteArray kLineBreak = QByteArrayLiteral("\r\n");
    return Write(line.constData(), line.size()) + Write(kLineBreak.constData(), kLineBreak.size());
}

void TWriteBufStream::FlushBuffer()
{
    if (!Target())
        return;
    if (FBufferFill > 0) {
        Target()->SetPosition(FBufferStart);
        Target()->WriteBuffer(FBuffer.data(), FBufferFill);
    }
    FBufferStart = Target()->Position();
    FBufferFill = 0;
}

void TWriteBufStream::Flush()
{
    FlushBuffer();
    FPosition = FBufferStart;
}

qint64 TWriteBufStream::Size()
{
    return std::max(Target()->Size(), FBufferStart + FBufferFill);
}
