#include "messages/dbx/DbxMappedFile.h"

bool TDbxMappedFile::Open(const QString& path)
{
    FFile.setFileName(path);
    if (!FFile.open(QIODevice::ReadOnly)) {
        FError = FFile.errorString();
        return false;
    }
    const qint64 size = FFile.size();
    if (size == 0) {
        FBytes = {};
        return true;
    }
    if (uchar* mapped = FFile.map(0, size)) {
        FBytes = TDbxBytes(mapped, size);
        return true;
    }
    FCopy = FFile.readAll();
    if (FCopy.size() != size) {
        FError = FFile.errorString();
        return false;
    }
    FBytes = TDbxBytes(reinterpret_cast<const uchar*>(FCopy.constData()), FCopy.size());
    return true;
}
