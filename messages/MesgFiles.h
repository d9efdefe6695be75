#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class TMesgItem;
class TSafeFileStream;

// What a virtual file offered for a message says of itself: the record the
// clipboard layer turns into the desktop's file descriptor.
struct TVirtualFileDescriptor
{
    static constexpr quint32 kValidTimesAndSize = 0x68;   // creation time, last write time, size

    quint32 Flags = kValidTimesAndSize;
    QDateTime CreationTime;    // UTC
    QDateTime LastWriteTime;   // UTC
    quint32 FileSizeHigh = 0;
    quint32 FileSizeLow = 0;
    QString FileName;
};

// Makes the file names of messages offered together usable: empty names
// become "no subject", names equal to an earlier one (ignoring case) get
// "002", "003" ... appended, and every name ends in ".eml".
void NormaliseFileNames(QStringList& names);

// What a name base leaves free for a number ("999", "002") and an extension.
inline constexpr qsizetype kFileNameReserve = 8;

// A path in `directory` that names nothing yet (no file, folder or link):
// the name itself, else the name with "01" ... "99" and up to "999" before
// its extension; empty when all of them are taken.
[[nodiscard]] QString UniqueFilePath(const QString& directory, const QString& name);

// Creates a new file under UniqueFilePath's first free candidate, taking
// the name exclusively: a name that exists in any form, a link included,
// is never written, and a name taken meanwhile moves on to the next one.
// Raises EFCreateError saying "no free file name" when all are taken, and
// the file's own errors otherwise.
[[nodiscard]] std::unique_ptr<TSafeFileStream> CreateUniqueFile(const QString& directory, const QString& name);

// The descriptor of a message's virtual file: created at the sent date,
// last written at the received date (each in the 2-second steps of the
// file system's packed dates, 1980 to 2107; now when there is none), its
// size, and the given (normalised) file name.
[[nodiscard]] TVirtualFileDescriptor FillDescriptor(const TMesgItem& item, const QString& fileName);
