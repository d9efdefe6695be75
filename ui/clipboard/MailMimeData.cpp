#include "ui/clipboard/MailMimeData.h"

#include "ui/clipboard/ClipboardFormats.h"
#include "ui/clipboard/MailClipboard.h"

#include <QUrl>

using namespace ClipboardFormats;

TMailMimeData::TMailMimeData(TMailClipboard& source, bool cut)
    : FSource(&source)
    , FCut(cut)
{
}

QStringList TMailMimeData::formats() const
{
    if (!FSource)
        return {};
    QStringList list{InternalMarker(), kFileDescriptors};
    for (int i = 0; i < FSource->OutgoingCount(); ++i)
        list.append(FileContents(i));
    list << kUriList << kKdeCut << kGnomeCopied;
    return list;
}

bool TMailMimeData::hasFormat(const QString& format) const
{
    if (!FSource)
        return false;
    if (format.startsWith(kFileContentsPrefix)) {
        bool number = false;
        const int index = QStringView(format).mid(kFileContentsPrefix.size()).toInt(&number);
        return number && index >= 0 && index < FSource->OutgoingCount();
    }
    return format == InternalMarker() || format == kFileDescriptors || format == kUriList || format == kKdeCut
        || format == kGnomeCopied;
}

QVariant TMailMimeData::retrieveData(const QString& format, QMetaType) const
{
    if (!hasFormat(format))
        return {};
    if (format == InternalMarker())
        return QByteArray(4, '\1');
    if (format == kFileDescriptors)
        return EncodeDescriptors(FSource->OutgoingDescriptors());
    if (format.startsWith(kFileContentsPrefix))
        return FSource->OutgoingContents(QStringView(format).mid(kFileContentsPrefix.size()).toInt());
    if (format == kUriList)
        return UriList();
    if (format == kKdeCut)
        return QByteArray(FCut ? "1" : "0");
    // GNOME's file managers read the action, then one URL a line.
    QByteArray copied = FCut ? "cut" : "copy";
    for (const QString& path : FSource->WriteOutgoingFiles())
        copied += '\n' + QUrl::fromLocalFile(path).toEncoded();
    return copied;
}

QByteArray TMailMimeData::UriList() const
{
    QByteArray list;
    for (const QString& path : FSource->WriteOutgoingFiles())
        list += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    return list;
}
