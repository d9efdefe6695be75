#include "messages/MesgFiles.h"

#include "content/MesgUtils.h"
#include "messages/MesgItem.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A local time rounded as the file system's packed date and time keep it
// (2-second steps, years 1980 to 2107), returned in UTC; now for no date.
QDateTime PackedTime(double days)
{
    if (days == 0)
        return QDateTime::currentDateTimeUtc();
    QDateTime local = DaysToDateTime(days);
    const QDateTime first(QDate(1980, 1, 1), QTime(0, 0));
    const QDateTime last(QDate(2107, 12, 31), QTime(23, 59, 58));
    local = std::clamp(local, first, last);
    const QTime time = local.time();
    local.setTime(QTime(time.hour(), time.minute(), time.second() / 2 * 2));
    return local.toUTC();
}

} // namespace

void NormaliseFileNames(QStringList& names)
{
    for (QString& name : names) {
        if (name.isEmpty())
            name = QStringLiteral("no subject");
    }
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        int counter = 2;
        for (qsizetype j = i + 1; j < names.size(); ++j) {
            if (names[j].compare(names[i], Qt::CaseInsensitive) == 0)
                names[j] = names[i] + QStringLiteral("%1").arg(counter++, 3, 10, QLatin1Char('0'));
        }
    }
    for (QString& name : names)
        name += QStringLiteral(".eml");
}

QString UniqueFilePath(const QString& directory, const QString& name)
{
    const QString folder = directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
    QString candidate = folder + name;
    if (name.isEmpty() || !QFileInfo::exists(candidate))
        return candidate;
    // The extension runs from the last "." that follows the last separator.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char(':')));
    const bool hasExtension = dot > separator;
    const QString base = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    for (int i = 1; i <= 999; ++i) {
        candidate = folder + base + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) + extension;
        if (!QFileInfo::exists(candidate))
            break;
    }
    return candidate;
}

TVirtualFileDescriptor FillDescriptor(const TMesgItem& item, const QString& fileName)
{
    TVirtualFileDescriptor descriptor;
    descriptor.CreationTime = PackedTime(item.DateSent());
    descriptor.LastWriteTime = PackedTime(item.DateReceived());
    descriptor.FileSizeLow = static_cast<quint32>(item.Size() & 0xFFFFFFFF);
    descriptor.FileName = fileName;
    return descriptor;
}
