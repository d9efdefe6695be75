#include "content/attach/SafeWrites.h"

#include "base/SafeFile.h"
#include "settings/BaseOptions.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

QString PrivateTempFolder()
{
    if (TBaseOptions* options = BaseOptions())
        return options->TempFolder();
    static QTemporaryDir own(QDir::tempPath() + QStringLiteral("/vellumo-XXXXXX"));
    return own.isValid() ? own.path() : QString();
}

bool WriteNewFile(const QString& path, TStream& data)
{
    try {
        TSafeFileStream file(path, TSafeFileStream::TMode::CreateNew, TSafeFileStream::TAccess::Private);
        file.CopyFrom(data, 0);
        file.Commit();
        return true;
    } catch (const EFileExistsError&) {
        return false;
    }
}

void ReplacePrivateFile(const QString& path, TStream& data)
{
    TSafeFileStream file(path, TSafeFileStream::TMode::Replace, TSafeFileStream::TAccess::Private);
    file.CopyFrom(data, 0);
    file.Commit();
}

void SaveUserFile(const QString& path, const std::function<void(QIODevice&)>& write)
{
    // The text is put together in memory first: the file is then written
    // like any other the user chose.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    WriteFileSafely(path, buffer.data(), TSafeFileStream::TMode::Replace);
}

void SaveUserFile(const QString& path, TStream& data)
{
    TSafeFileStream file(path, TSafeFileStream::TMode::Replace);
    file.CopyFrom(data, 0);
    file.Commit();
}
