#include "fuzz/messages/DbxFuzzInput.h"

#include "messages/dbx/DbxFileKind.h"
#include "messages/dbx/DbxFolderFile.h"
#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxMessageFile.h"

#include <cstring>

using namespace DbxFormat;

namespace {

void Put32(QByteArray& file, qint64 offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        file[offset + i] = char(value >> (8 * i));
}

} // namespace

QByteArray DbxFileFromFuzzInput(const unsigned char* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (size >= 4 && quint32(data[0] | data[1] << 8 | data[2] << 16 | quint32(data[3]) << 24) == kSignature)
        return input;
    QByteArray file(kFileHeaderSize, '\0');
    Put32(file, 0, kSignature);
    // The first byte chooses the kind, the next eight the index root and count.
    Put32(file, kClsidOffset, size > 0 && (data[0] & 1) ? kFolderDatabase : kMessageDatabase);
    quint32 fields[2] = {quint32(kFileHeaderSize), 1};
    if (size >= 9)
        std::memcpy(fields, data + 1, sizeof fields);
    Put32(file, kTreeRootOffset, fields[0]);
    Put32(file, kTreeEntriesOffset, fields[1]);
    return file + input;
}

void ReadWholeDbxFile(const QByteArray& file)
{
    const TDbxBytes bytes(reinterpret_cast<const uchar*>(file.constData()), file.size());
    if (DbxKindOf(bytes) == TDbxKind::NotDbx)
        return;
    const TDbxMessageFile messages(bytes);
    for (const TDbxMessage& message : messages.Messages().Messages) {
        QByteArray source;
        messages.ReadSource(message.DataOffset, source);
    }
    (void)ReadDbxFolders(bytes);
}
