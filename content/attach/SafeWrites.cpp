#include "content/attach/SafeWrites.h"

#include "base/Stream.h"
#include "settings/BaseOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes everything to the descriptor, retrying short writes.
bool WriteAll(int fd, const char* data, qint64 count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        count -= written;
    }
    return true;
}

// Copies `data` from its beginning to the descriptor; the error number of
// a failed write, else 0.
int CopyToDescriptor(TStream& data, int fd)
{
    std::vector<char> buffer(static_cast<std::size_t>(kChunk));
    data.SetPosition(0);
    for (qint64 read; (read = data.Read(buffer.data(), kChunk)) > 0;)
        if (!WriteAll(fd, buffer.data(), read))
            return errno ? errno : EIO;
    return 0;
}

// Closes the descriptor; on an earlier or a closing failure removes the
// file and raises the write error.
void FinishFile(int fd, int error, const QString& path)
{
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return;
    QFile::remove(path);
    throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, SystemError(error)));
}

} // namespace

QString PrivateTempFolder()
{
    if (TBaseOptions* options = BaseOptions())
        return options->TempFolder();
    static QTemporaryDir own(QDir::tempPath() + QStringLiteral("/vellumo-XXXXXX"));
    return own.isValid() ? own.path() : QString();
}

bool WriteNewFile(const QString& path, TStream& data)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, SystemError(errno)));
    }
    FinishFile(fd, CopyToDescriptor(data, fd), path);
    return true;
}

void ReplacePrivateFile(const QString& path, TStream& data)
{
    const QString folder = QFileInfo(path).path();
    QByteArray pattern = QFile::encodeName(folder + QStringLiteral("/.vellumo-XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, SystemError(errno)));
    const QString fresh = QFile::decodeName(pattern);
    FinishFile(fd, CopyToDescriptor(data, fd), fresh);
    if (::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(fresh);
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, SystemError(error)));
    }
}

void SaveUserFile(const QString& path, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    write(file);
    // QSaveFile flushes the temporary file to the disk before it renames it.
    if (!file.commit())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

void SaveUserFile(const QString& path, TStream& data)
{
    SaveUserFile(path, [&data](QIODevice& file) {
        std::vector<char> buffer(static_cast<std::size_t>(kChunk));
        data.SetPosition(0);
        for (qint64 read; (read = data.Read(buffer.data(), kChunk)) > 0;)
            if (file.write(buffer.data(), read) != read)
                return;   // the device keeps the error; commit() reports it
    });
}
