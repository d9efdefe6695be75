#pragma once

#include "base/Exception.h"

#include <QtGlobal>

// Stream failures. Callers that report file errors tell them apart by
// class (file open, file create, read, write, any other stream error).
class EStreamError : public Exception
{
public:
    explicit EStreamError(QString message, QString reason = {})
        : Exception(std::move(message)), FReason(std::move(reason)) {}

    // The system's own words for what went wrong ("No space left on
    // device"); empty when there are none.
    [[nodiscard]] const QString& Reason() const noexcept { return FReason; }

private:
    QString FReason;
};

class EFileStreamError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class EFOpenError : public EFileStreamError
{
public:
    using EFileStreamError::EFileStreamError;
};

class EFCreateError : public EFileStreamError
{
public:
    using EFileStreamError::EFileStreamError;
};

class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

enum class TSeekOrigin { Begin, Current, End };

// A seekable byte stream. Read and Write move what they can and return the
// count; ReadBuffer and WriteBuffer move all or raise.
class TStream
{
public:
    TStream() = default;
    virtual ~TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual qint64 Read(void* buffer, qint64 count) = 0;
    virtual qint64 Write(const void* buffer, qint64 count) = 0;
    // Returns the new position.
    virtual qint64 Seek(qint64 offset, TSeekOrigin origin) = 0;
    [[nodiscard]] virtual qint64 Size() = 0;
    virtual void SetSize(qint64 size) = 0;

    [[nodiscard]] qint64 Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(qint64 position) { Seek(position, TSeekOrigin::Begin); }

    // Raises EReadError "Stream read error" when fewer bytes arrive.
    void ReadBuffer(void* buffer, qint64 count);
    // Raises EWriteError "Stream write error" when fewer bytes are taken.
    void WriteBuffer(const void* buffer, qint64 count);
    // Copies `count` bytes from the source's position; a count of 0 or less
    // copies the whole source from its beginning. Returns the bytes copied.
    qint64 CopyFrom(TStream& source, qint64 count);

protected:
    // The position a seek leads to, from the current position and the size; not clamped.
    [[nodiscard]] static qint64 SeekTarget(qint64 position, qint64 size, qint64 offset, TSeekOrigin origin);
};
