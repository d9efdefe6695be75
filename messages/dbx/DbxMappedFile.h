#pragma once

#include "messages/dbx/DbxBytes.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A .dbx file opened for reading, its whole contents in view: mapped into
// memory, or read into it where the file system cannot map.
class TDbxMappedFile
{
public:
    // Opens and maps `path`; false (with Error() set) when it cannot be read.
    bool Open(const QString& path);

    [[nodiscard]] TDbxBytes Bytes() const { return FBytes; }
    [[nodiscard]] QString Error() const { return FError; }

private:
    QFile FFile;
    QByteArray FCopy;
    TDbxBytes FBytes;
    QString FError;
};
