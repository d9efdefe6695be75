#include "ui/clipboard/ClipboardFormats.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMimeData>
#include <QtEndian>

namespace ClipboardFormats {

namespace {

// A file list of another program is not trusted beyond this.
constexpr quint32 kMaxDescriptors = 1u << 20;

} // namespace

const QString& InternalMarker()
{
    static const QString marker = [] {
        QElapsedTimer clock;
        clock.start();
        return QStringLiteral("QuorvanInternalDropSupports%1").arg(clock.msecsSinceReference());
    }();
    return marker;
}

QString FileContents(int index)
{
    return kFileContentsPrefix + QString::number(index);
}

QByteArray EncodeFolder(TStoreId folder)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(folder, bytes.data());
    return bytes;
}

TStoreId DecodeFolder(const QMimeData* data)
{
    if (!data || !data->hasFormat(kFolder))
        return kNoStoreId;
    const QByteArray bytes = data->data(kFolder);
    return bytes.size() == 4 ? qFromLittleEndian<quint32>(bytes.constData()) : kNoStoreId;
}

QByteArray EncodeDescriptors(const QList<TVirtualFileDescriptor>& descriptors)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << static_cast<quint32>(descriptors.size());
    for (const TVirtualFileDescriptor& d : descriptors)
        out << d.Flags << d.CreationTime << d.LastWriteTime << d.FileSizeHigh << d.FileSizeLow << d.FileName;
    return bytes;
}

QList<TVirtualFileDescriptor> DecodeDescriptors(const QByteArray& bytes)
{
    QDataStream in(bytes);
    quint32 count = 0;
    in >> count;
    QList<TVirtualFileDescriptor> descriptors;
    for (quint32 i = 0; i < count && i < kMaxDescriptors && in.status() == QDataStream::Ok; ++i) {
        TVirtualFileDescriptor d;
        in >> d.Flags >> d.CreationTime >> d.LastWriteTime >> d.FileSizeHigh >> d.FileSizeLow >> d.FileName;
        descriptors.append(d);
    }
    if (in.status() != QDataStream::Ok || descriptors.size() != static_cast<qsizetype>(count))
        return {};
    return descriptors;
}

bool IsCut(const QMimeData* data)
{
    if (!data)
        return false;
    if (data->hasFormat(kKdeCut))
        return data->data(kKdeCut).trimmed() == "1";
    return data->hasFormat(kGnomeCopied) && data->data(kGnomeCopied).startsWith("cut\n");
}

} // namespace ClipboardFormats
