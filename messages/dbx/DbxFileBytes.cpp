#include "messages/dbx/DbxFileBytes.h"

#include <QFile>

bool TDbxFileBytes::Open(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FError = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    FContents = file.readAll();
    if (FContents.size() != size || file.error() != QFileDevice::NoError) {
        FError = file.errorString();
        FContents.clear();
        return false;
    }
    FBytes = TDbxBytes(reinterpret_cast<const uchar*>(FContents.constData()), FContents.size());
    return true;
}
