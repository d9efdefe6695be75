#include "content/attach/SafeWrites.h"

#include "base/SafeFile.h"
#include "settings/BaseOptions.h"

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
        WriteFileSafely(path, data, TSafeFileStream::TMode::CreateNew, TSafeFileStream::TAccess::Private);
        return true;
    } catch (const EFileExistsError&) {
        return false;
    }
}
