#include "messages/MesgFiles.h"

#include "base/SafeFile.h"
#include "content/MesgUtils.h"
#include "messages/MesgItem.h"

#include <QDir>
#include <QFile>
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

namespace {

constexpr int kLastNumber = 999;

// The candidates of a name in a folder: number 0 is the name itself, the
// others put the number, two digits at least, before the extension (the
// part from the last "." that follows the last separator).
class TNameCandidates
{
public:
    TNameCandidates(const QString& directory, const QString& name)
        : FFolder(directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/'))
        , FName(name)
    {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const qsizetype separator = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char(':')));
        const bool hasExtension = dot > separator;
        FBase = hasExtension ? name.left(dot) : name;
        FExtension = hasExtension ? name.mid(dot) : QString();
    }

    [[nodiscard]] QString Path(int number) const
    {
        if (number == 0)
            return FFolder + FName;
        return FFolder + FBase + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')) + FExtension;
    }

private:
    QString FFolder;
    QString FName;
    QString FBase;
    QString FExtension;
};

// True when the path names anything, a link to nothing included.
bool Taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString UniqueFilePath(const QString& directory, const QString& name)
{
    const TNameCandidates candidates(directory, name);
    if (name.isEmpty())
        return candidates.Path(0);
    for (int number = 0; number <= kLastNumber; ++number)
        if (!Taken(candidates.Path(number)))
            return candidates.Path(number);
    return {};
}

std::unique_ptr<TSafeFileStream> CreateUniqueFile(const QString& directory, const QString& name)
{
    const TNameCandidates candidates(directory, name);
    for (int number = 0; number <= kLastNumber; ++number) {
        try {
            return std::make_unique<TSafeFileStream>(candidates.Path(number), TSafeFileStream::TMode::CreateNew);
        } catch (const EFileExistsError&) {
            // Taken: the next number.
        }
    }
    const QString reason = QStringLiteral("There is no free file name: %1 and %2 exist.")
                               .arg(candidates.Path(0), candidates.Path(kLastNumber));
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(candidates.Path(0), reason), reason);
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
