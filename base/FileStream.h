#pragma once

#include "base/Stream.h"

#include <QFile>

// A stream over a file. Opening failures raise EFOpenError or EFCreateError
// with the path; failed reads and writes return short counts (and so raise
// through ReadBuffer and WriteBuffer).
class TFileStream : public TStream
{
public:
    enum class TMode {
        Create,        // create or truncate, read and write
        OpenRead,
        OpenWrite,     // existing file, write only
        OpenReadWrite,
    };

    TFileStream(const QString& path, TMode mode);

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override;
    // Raises EWriteError when the file cannot be resized.
    void SetSize(qint64 size) override;

    [[nodiscard]] QString Path() const { return FFile.fileName(); }

private:
    QFile FFile;
};
