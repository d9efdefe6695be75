#include "base/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTemporaryAttempts = 100;
constexpr mode_t kPrivateMode = 0600;

QString SystemReason(int error)
{
    return qt_error_string(error);
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// A file over the file-size limit must fail with EFBIG, not end the
// process with SIGXFSZ: the write then fails like one on a full disk.
void IgnoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

std::mutex gProtectedMutex;

QStringList& ProtectedPaths()
{
    static QStringList paths;
    return paths;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Flushes a folder's entries (a rename in it) to the disk; file systems
// that cannot do it for folders are left alone.
void SyncFolder(const QString& folder)
{
    const int handle = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace

void ProtectFromWrites(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::lock_guard lock(gProtectedMutex);
    if (!ProtectedPaths().contains(absolute))
        ProtectedPaths().append(absolute);
}

bool IsProtectedFile(const QString& path)
{
    struct stat target {};
    if (::stat(Native(path).constData(), &target) != 0)
        return false;
    std::lock_guard lock(gProtectedMutex);
    for (const QString& protectedPath : ProtectedPaths()) {
        struct stat file {};
        if (::stat(Native(protectedPath).constData(), &file) == 0 && SameFile(file, target))
            return true;
    }
    return false;
}

TSafeFileStream::TSafeFileStream(const QString& path, TMode mode, TAccess access)
    : FPath(path)
    , FMode(mode)
    , FNewMode(access == TAccess::Private ? kPrivateMode : 0666)
{
    IgnoreFileSizeSignal();
    if (mode == TMode::CreateNew)
        ReserveName();
    try {
        OpenTemporary();
    } catch (...) {
        Discard();
        throw;
    }
}

TSafeFileStream::~TSafeFileStream()
{
    if (!FCommitted)
        Discard();
}

void TSafeFileStream::Fail(const QString& what) const
{
    const QString reason = SystemReason(errno);
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FPath, what.isEmpty() ? reason : what),
                        what.isEmpty() ? reason : what);
}

void TSafeFileStream::ReserveName()
{
    const int handle = ::open(Native(FPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, FNewMode);
    if (handle < 0) {
        if (errno == EEXIST) {
            const QString reason = QStringLiteral("It exists already.");
            throw EFileExistsError(QStringLiteral("Cannot create file \"%1\". %2").arg(FPath, reason), reason);
        }
        Fail({});
    }
    struct stat info {};
    ::fstat(handle, &info);
    ::close(handle);
    FReserved = true;
    FReservedDevice = info.st_dev;
    FReservedInode = info.st_ino;
}

void TSafeFileStream::OpenTemporary()
{
    mode_t keepMode = 0;
    struct stat existing {};
    if (FMode == TMode::Replace && ::lstat(Native(FPath).constData(), &existing) == 0) {
        if (IsProtectedFile(FPath))
            Fail(QStringLiteral("It is a file of the message store."));
        if (S_ISREG(existing.st_mode))
            keepMode = existing.st_mode & (FNewMode == kPrivateMode ? 0700 : 07777);
        else if (!S_ISLNK(existing.st_mode))
            Fail(QStringLiteral("It is not a regular file."));
    }
    const QString folder = QFileInfo(FPath).absolutePath();
    int error = EEXIST;
    for (int attempt = 0; attempt < kTemporaryAttempts && error == EEXIST; ++attempt) {
        FTemporary = folder + QStringLiteral("/.vellumo-%1.tmp").arg(QRandomGenerator::global()->generate64(), 16, 16,
                                                                      QLatin1Char('0'));
        FFile = ::open(Native(FTemporary).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, FNewMode);
        error = FFile < 0 ? errno : 0;
    }
    if (FFile < 0) {
        FTemporary.clear();
        errno = error;
        Fail({});
    }
    if (keepMode != 0)
        ::fchmod(FFile, keepMode);
}

void TSafeFileStream::Discard() noexcept
{
    if (FFile >= 0) {
        ::close(FFile);
        FFile = -1;
    }
    if (!FTemporary.isEmpty())
        ::unlink(Native(FTemporary).constData());
    // Only the file this stream made goes, never one that took its name since.
    struct stat now {};
    if (FReserved && ::lstat(Native(FPath).constData(), &now) == 0 && now.st_dev == FReservedDevice &&
        now.st_ino == FReservedInode)
        ::unlink(Native(FPath).constData());
    FReserved = false;
}

qint64 TSafeFileStream::Read(void* buffer, qint64 count)
{
    if (count <= 0 || FFile < 0)
        return 0;
    ssize_t n = 0;
    do {
        n = ::read(FFile, buffer, static_cast<size_t>(count));
    } while (n < 0 && errno == EINTR);
    return std::max<qint64>(n, 0);
}

qint64 TSafeFileStream::Write(const void* buffer, qint64 count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    for (qint64 done = 0; done < count;) {
        const ssize_t n = FFile < 0 ? -1 : ::write(FFile, bytes + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString reason = SystemReason(n < 0 ? errno : ENOSPC);
            throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(FPath, reason), reason);
        }
        done += n;
    }
    return std::max<qint64>(count, 0);
}

qint64 TSafeFileStream::Seek(qint64 offset, TSeekOrigin origin)
{
    const qint64 target = SeekTarget(::lseek(FFile, 0, SEEK_CUR), Size(), offset, origin);
    if (target >= 0)
        ::lseek(FFile, target, SEEK_SET);
    return ::lseek(FFile, 0, SEEK_CUR);
}

qint64 TSafeFileStream::Size()
{
    struct stat info {};
    return ::fstat(FFile, &info) == 0 ? info.st_size : 0;
}

void TSafeFileStream::SetSize(qint64 size)
{
    if (::ftruncate(FFile, size) != 0) {
        const QString reason = SystemReason(errno);
        throw EWriteError(QStringLiteral("Cannot resize file \"%1\". %2").arg(FPath, reason), reason);
    }
}

void TSafeFileStream::Commit()
{
    const auto raise = [this](int error) {
        const QString reason = SystemReason(error);
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(FPath, reason), reason);
    };
    if (FFile < 0 || FCommitted)
        return;
    if (::fsync(FFile) != 0)
        raise(errno);
    const int handle = std::exchange(FFile, -1);
    if (::close(handle) != 0)
        raise(errno);
    if (::rename(Native(FTemporary).constData(), Native(FPath).constData()) != 0)
        raise(errno);
    FCommitted = true;
    FReserved = false;
    SyncFolder(QFileInfo(FPath).absolutePath());
}

void WriteFileSafely(const QString& path, QByteArrayView bytes, TSafeFileStream::TMode mode,
                     TSafeFileStream::TAccess access)
{
    TSafeFileStream file(path, mode, access);
    file.WriteBuffer(bytes.data(), bytes.size());
    file.Commit();
}

void WriteFileSafely(const QString& path, TStream& data, TSafeFileStream::TMode mode, TSafeFileStream::TAccess access)
{
    TSafeFileStream file(path, mode, access);
    file.CopyFrom(data, 0);
    file.Commit();
}
