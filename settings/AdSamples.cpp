#include "settings/AdSamples.h"

#include "settings/AnsiText.h"

#include "base/Exception.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// "name.ext" becomes "name.~ext".
QString BackupPath(const QString& path)
{
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".~") + info.suffix();
}

void WriteUtf16(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(QStringLiteral("The advertisement samples cannot be written to %1: %2").arg(path, file.errorString()));
}

} // namespace

void TAdSamples::LoadAdSamples(const QString& path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    QStringList samples;
    for (const QString& line : DecodeTextFile(file.readAll()).split(QLatin1Char('\n'))) {
        const QString sample = line.trimmed().toUpper();
        if (!sample.isEmpty())
            samples.append(sample);
    }
    std::lock_guard lock(FMutex);
    FSamples = std::move(samples);
}

void TAdSamples::Save(const QString& path) const
{
    WriteUtf16(path, Samples());
}

void TAdSamples::LoadAtStartUp(const QString& optionsFolder, const QString& dataFolder)
{
    const QString own = optionsFolder + QLatin1Char('/') + kFileName;
    if (QFile::exists(own)) {
        LoadAdSamples(own);
        return;
    }
    LoadAdSamples(dataFolder + QLatin1Char('/') + kFileName);
    Save(own);
}

bool TAdSamples::AddAdSample(const QString& text, const QString& path)
{
    const QString sample = text.trimmed().toUpper();
    QStringList samples;
    {
        std::lock_guard lock(FMutex);
        if (sample.isEmpty() || FSamples.contains(sample, Qt::CaseInsensitive))
            return false;
        FSamples.append(sample);
        samples = FSamples;
    }
    const QString backup = BackupPath(path);
    QFile::remove(backup);
    QFile::copy(path, backup);
    // Written in the same lossless form as at start-up: samples in any
    // script survive, which 8-bit text in the system code page would not.
    WriteUtf16(path, samples);
    return true;
}

QStringList TAdSamples::Samples() const
{
    std::lock_guard lock(FMutex);
    return FSamples;
}
