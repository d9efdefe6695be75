#include "settings/IniDocument.h"

#include "settings/IniErrors.h"
#include "settings/IniValueText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::mutex gCacheMutex;

// Damaged copies of one second that can be told apart.
constexpr int kMaxBrokenCopies = 100;

} // namespace

TIniDocument::TIniDocument(QString path)
    : FPath(std::move(path))
{
}

std::shared_ptr<TIniDocument> TIniDocument::Open(const QString& path)
{
    static QHash<QString, std::shared_ptr<TIniDocument>> cache;
    const QString key = QFileInfo(path).absoluteFilePath();
    std::lock_guard lock(gCacheMutex);
    std::shared_ptr<TIniDocument>& document = cache[key];
    if (!document)
        document = ReadFile(key);
    return document;
}

std::shared_ptr<TIniDocument> TIniDocument::ReadFile(const QString& path)
{
    auto document = std::make_shared<TIniDocument>(QFileInfo(path).absoluteFilePath());
    document->Load();
    return document;
}

void TIniDocument::Load()
{
    QFile file(FPath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        FLoadError = QStringLiteral("The settings file %1 cannot be read: %2").arg(FPath, file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        FLoadError = QStringLiteral("The settings file %1 cannot be read: %2").arg(FPath, file.errorString());
        return;
    }
    try {
        Parse(bytes);
    } catch (const EIniFileError& error) {
        FSections.clear();
        FLoadError = QStringLiteral("The settings file %1 is damaged (%2); default settings are used.")
                         .arg(FPath, error.Message());
    }
}

void TIniDocument::Parse(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        throw EIniFileError(QStringLiteral("it holds binary data"));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw EIniFileError(QStringLiteral("it is not UTF-8 text"));
    QString section;
    int lineNumber = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'))) {
            SectionFor(section).Entries.push_back(TEntry::KeptLine(line));
            continue;
        }
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            section = trimmed.mid(1, trimmed.size() - 2).toString();
            SectionFor(section);
            continue;
        }
        const qsizetype equals = trimmed.startsWith(QLatin1Char('[')) ? -1 : line.indexOf(QLatin1Char('='));
        const QStringView key = equals < 0 ? QStringView() : line.left(equals).trimmed();
        if (key.isEmpty()) {
            // Like every ini reader: a line that is no setting is skipped,
            // and kept, so that a save gives back what the user typed.
            SectionFor(section).Entries.push_back(TEntry::KeptLine(line));
            FStrayLines.append(QStringLiteral("line %1 (\"%2\")").arg(lineNumber).arg(trimmed.left(40)));
            continue;
        }
        SectionFor(section).Entries.push_back({key.toString(), DecodeIniValue(line.mid(equals + 1))});
    }
}

QByteArray TIniDocument::Serialize() const
{
    std::lock_guard lock(FMutex);
    return SerializeLocked();
}

QByteArray TIniDocument::SerializeLocked() const
{
    QString text;
    for (const TSection& section : FSections) {
        if (section.Name.isEmpty() && section.Entries.empty())
            continue;
        if (!section.Name.isEmpty())
            text += QLatin1Char('[') + section.Name + QLatin1String("]\n");
        for (const TEntry& entry : section.Entries)
            text += (entry.Kept ? entry.Value : entry.Key + QLatin1Char('=') + EncodeIniValue(entry.Value))
                    + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

const TIniDocument::TSection* TIniDocument::FindSection(const QString& name) const
{
    for (const TSection& section : FSections)
        if (SameName(section.Name, name))
            return &section;
    return nullptr;
}

TIniDocument::TSection& TIniDocument::SectionFor(const QString& name)
{
    if (const TSection* found = FindSection(name))
        return const_cast<TSection&>(*found);
    // The unnamed section always comes first, because its values are the
    // ones written before any header.
    if (name.isEmpty())
        return *FSections.insert(FSections.begin(), TSection{name, {}});
    FSections.push_back({name, {}});
    return FSections.back();
}

std::optional<QString> TIniDocument::Read(const QString& section, const QString& key) const
{
    std::lock_guard lock(FMutex);
    const TSection* found = FindSection(section);
    if (!found)
        return std::nullopt;
    std::optional<QString> value;
    // The last of duplicate keys wins, as the last line of a file does.
    for (const TEntry& entry : found->Entries)
        if (entry.Is(key))
            value = entry.Value;
    return value;
}

void TIniDocument::Write(const QString& section, const QString& key, const QString& value)
{
    std::lock_guard lock(FMutex);
    TSection& target = SectionFor(section);
    bool written = false;
    for (TEntry& entry : target.Entries) {
        if (!entry.Is(key))
            continue;
        if (entry.Value != value || written) {
            FDirty = true;
            entry.Value = value;
        }
        written = true;
    }
    if (!written) {
        target.Entries.push_back({key, value});
        FDirty = true;
    }
}

void TIniDocument::DeleteKey(const QString& section, const QString& key)
{
    std::lock_guard lock(FMutex);
    if (!FindSection(section))
        return;
    std::vector<TEntry>& entries = SectionFor(section).Entries;
    const auto removed = std::erase_if(entries, [&](const TEntry& entry) { return entry.Is(key); });
    FDirty = FDirty || removed > 0;
}

void TIniDocument::EraseSection(const QString& section)
{
    std::lock_guard lock(FMutex);
    const QString below = section + QLatin1Char('\\');
    const auto removed = std::erase_if(FSections, [&](const TSection& candidate) {
        return SameName(candidate.Name, section) || candidate.Name.startsWith(below, Qt::CaseInsensitive);
    });
    FDirty = FDirty || removed > 0;
}

bool TIniDocument::SectionExists(const QString& section) const
{
    std::lock_guard lock(FMutex);
    return FindSection(section) != nullptr;
}

QStringList TIniDocument::SectionNames() const
{
    std::lock_guard lock(FMutex);
    QStringList names;
    for (const TSection& section : FSections)
        names.append(section.Name);
    return names;
}

QStringList TIniDocument::KeyNames(const QString& section) const
{
    std::lock_guard lock(FMutex);
    QStringList names;
    if (const TSection* found = FindSection(section))
        for (const TEntry& entry : found->Entries)
            if (!entry.Kept)
                names.append(entry.Key);
    return names;
}

QString TIniDocument::LoadError() const
{
    std::lock_guard lock(FMutex);
    return FLoadError;
}

QString TIniDocument::TakeLoadError()
{
    std::lock_guard lock(FMutex);
    if (FLoadErrorReported)
        return {};
    FLoadErrorReported = true;
    if (!FLoadError.isEmpty() || FStrayLines.isEmpty())
        return FLoadError;
    return QStringLiteral("The settings file %1 has lines that are no settings; they were skipped and are kept as "
                          "they are: %2")
        .arg(FPath, FStrayLines.join(QStringLiteral(", ")));
}

void TIniDocument::Flush(bool replaceBroken)
{
    std::lock_guard lock(FMutex);
    if (!FDirty || (!FLoadError.isEmpty() && !replaceBroken))
        return;
    if (!FLoadError.isEmpty())
        KeepBrokenCopy();
    WriteFile();
    FDirty = false;
    FLoadError.clear();
}

void TIniDocument::KeepBrokenCopy() const
{
    if (!QFile::exists(FPath))
        return;
    // A name of its own for every damaged file, so that no earlier copy is
    // ever replaced; copying refuses a name that exists.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 1; attempt <= kMaxBrokenCopies; ++attempt) {
        const QString suffix = attempt == 1 ? stamp : QStringLiteral("%1-%2").arg(stamp).arg(attempt);
        const QString copy = QStringLiteral("%1.%2.bad").arg(FPath, suffix);
        if (!QFile::exists(copy))
            if (QFile::copy(FPath, copy))
                return;
    }
    throw EIniFileError(
        QStringLiteral("The damaged settings file %1 could not be kept beside it, so it was not replaced.").arg(FPath));
}

void TIniDocument::WriteFile()
{
    QDir().mkpath(QFileInfo(FPath).absolutePath());
    QSaveFile file(FPath);
    // QSaveFile writes a temporary file in the same folder, syncs it and
    // renames it over the old one only when everything was written.
    const QByteArray bytes = SerializeLocked();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EIniFileError(QStringLiteral("The settings file %1 cannot be written: %2").arg(FPath, file.errorString()));
}
