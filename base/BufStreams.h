#pragma once

#include "base/Stream.h"

#include <QByteArray>

#include <memory>
#include <vector>

// A stream that puts a fixed buffer in front of another stream, the target.
// It keeps a logical position of its own; the buffer holds the bytes of the
// target from the buffer start on. The base reads and writes nothing: see
// TReadBufStream and TWriteBufStream.
class TAbstractBufStreamAdapter : public TStream
{
public:
    // Owns `target`: it is freed with the adapter or when another target is set.
    TAbstractBufStreamAdapter(std::unique_ptr<TStream> target, qint64 bufferSize);
    // Wraps `target` without owning it.
    TAbstractBufStreamAdapter(TStream& target, qint64 bufferSize);

    // Raises EReadError "Read method is not Implemented".
    qint64 Read(void* buffer, qint64 count) override;
    // Raises EWriteError "Write method is not Implemented".
    qint64 Write(const void* buffer, qint64 count) override;
    // Moves the logical position only; the end is Size().
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override;
    // Sets the target's size; the buffer is written out (writers) or dropped first.
    void SetSize(qint64 size) override;

    [[nodiscard]] TStream* Target() const { return FTarget; }
    // Writes out the buffer (writers), frees an owned old target and starts
    // over at position 0 of the new one, which it owns.
    void SetTarget(std::unique_ptr<TStream> target);
    [[nodiscard]] qint64 BufferSize() const { return static_cast<qint64>(FBuffer.size()); }

protected:
    // Writes out pending bytes; nothing for readers.
    virtual void FlushBuffer() {}
    // The buffer holds the target's bytes [FBufferStart, FBufferStart + FBufferFill).
    [[nodiscard]] bool InBuffer(qint64 position) const
    {
        return position >= FBufferStart && position < FBufferStart + FBufferFill;
    }

    std::vector<char> FBuffer;
    qint64 FPosition = 0;
    qint64 FBufferStart = 0;
    qint64 FBufferFill = 0;

private:
    std::unique_ptr<TStream> FOwnedTarget;
    TStream* FTarget;
};

// Buffered reading with line reading.
class TReadBufStream : public TAbstractBufStreamAdapter
{
public:
    using TAbstractBufStreamAdapter::TAbstractBufStreamAdapter;

    qint64 Read(void* buffer, qint64 count) override;
    // The next line without its terminator. CR, LF, CR LF and NUL each end a
    // line; at the end of the target the rest is the last line, and after it
    // every call returns an empty string.
    QByteArray ReadLine();

private:
    // Refills the buffer from the target at the position; false at the end.
    bool Fill();
};

// Buffered writing with line writing. The buffer is written out by Flush()
// and on destruction; call Flush() to see a write error, which destruction
// cannot report.
class TWriteBufStream : public TAbstractBufStreamAdapter
{
public:
    using TAbstractBufStreamAdapter::TAbstractBufStreamAdapter;
    ~TWriteBufStream() override;

    qint64 Write(const void* buffer, qint64 count) override;
    // Writes `line` and CR LF; returns the bytes written.
    qint64 WriteLine(const QByteArray& line);
    // Writes out the buffer at its place in the target; the position then
    // is the target's, just after it. Raises EWriteError when it fails.
    void Flush();
    // The target's size, or the end of the buffered bytes when they reach further.
    [[nodiscard]] qint64 Size() override;

protected:
    void FlushBuffer() override;
};
