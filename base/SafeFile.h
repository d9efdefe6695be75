#pragma once

#include "base/Stream.h"

#include <QString>

#include <sys/types.h>

// A name that was to be created but exists already (as a file, a folder or
// a symbolic link, dangling or not).
class EFileExistsError : public EFCreateError
{
public:
    using EFCreateError::EFCreateError;
};

// A file written on the user's behalf, never left half-written: the bytes
// go into a temporary file beside the target, which Commit flushes to the
// disk (fsync) and renames over the target. A stream destroyed without
// Commit (a failed write, a full disk, a cancel) removes the temporary and
// leaves the target as it was.
//
// Replace: the target may exist and is replaced; the user chose it. A
// symbolic link at the name is replaced itself and never followed, so that
// the file lands exactly where the path says (in a shared folder, a link
// planted by another user cannot send the write into the user's own
// files). A folder or a device at the name is refused. A replaced regular
// file keeps its permissions (a private file: its owner's part of them).
//
// CreateNew: the target must not exist. Its name is taken first with
// O_CREAT | O_EXCL | O_NOFOLLOW, so that a name that exists, a link of any
// kind included, raises EFileExistsError and nothing is written anywhere
// else; the new content then replaces only that file of our own.
//
// Neither mode writes over a protected file (ProtectFromWrites), by its own
// name or through a link. Failures raise EFCreateError or EWriteError with
// the system's reason.
class TSafeFileStream : public TStream
{
public:
    enum class TMode { Replace, CreateNew };
    // Who may read a new file: as the umask allows, or its owner alone
    // (attachments and other files of message content in temporary folders).
    enum class TAccess { Default, Private };

    TSafeFileStream(const QString& path, TMode mode, TAccess access = TAccess::Default);
    ~TSafeFileStream() override;

    qint64 Read(void* buffer, qint64 count) override;
    // Writes everything or raises EWriteError (a full disk, the file-size limit).
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override;
    void SetSize(qint64 size) override;

    // Flushes the temporary file to the disk and puts it in the target's place.
    void Commit();
    // The file that Commit writes.
    [[nodiscard]] const QString& Path() const { return FPath; }

private:
    void ReserveName();
    void OpenTemporary();
    void Discard() noexcept;
    [[noreturn]] void Fail(const QString& what) const;

    QString FPath;
    QString FTemporary;
    TMode FMode;
    mode_t FNewMode;
    int FFile = -1;
    bool FCommitted = false;
    // The empty file CreateNew made at the target's name.
    bool FReserved = false;
    dev_t FReservedDevice = 0;
    ino_t FReservedInode = 0;
};

// Writes the whole file through a TSafeFileStream: the bytes, or all of
// `data` from its beginning.
void WriteFileSafely(const QString& path, QByteArrayView bytes, TSafeFileStream::TMode mode,
                     TSafeFileStream::TAccess access = TSafeFileStream::TAccess::Default);
void WriteFileSafely(const QString& path, TStream& data, TSafeFileStream::TMode mode,
                     TSafeFileStream::TAccess access = TSafeFileStream::TAccess::Default);

// Files that no write on the user's behalf may replace, whatever their path
// is spelled like: the message store and its companion files. The file is
// compared by device and inode at each write, so that a link to it, or a
// later companion of that name, is found as well.
void ProtectFromWrites(const QString& path);
// True when `path` (links followed) is one of the protected files.
[[nodiscard]] bool IsProtectedFile(const QString& path);
