#pragma once

#include "messages/dbx/DbxBytes.h"

#include <QByteArray>
#include <QString>

// The whole contents of a .dbx file, read into memory. The file is not
// mapped: old stores come from removable media and other programs' folders,
// and a mapped file that shrinks or disappears while it is read would end the
// program with a bus error instead of a read error.
class TDbxFileBytes
{
public:
    // Reads `path`; false (with Error() set) when it cannot be read whole.
    bool Open(const QString& path);

    [[nodiscard]] TDbxBytes Bytes() const { return FBytes; }
    [[nodiscard]] QString Error() const { return FError; }

private:
    QByteArray FContents;
    TDbxBytes FBytes;
    QString FError;
};
