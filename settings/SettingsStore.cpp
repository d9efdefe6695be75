#include "settings/SettingsStore.h"

#include "settings/AppPaths.h"
#include "settings/IniDocument.h"
#include "settings/IniErrors.h"

TIniFileStore::TIniFileStore(const QString& path)
    : FDocument(TIniDocument::Open(path))
{
}

TIniFileStore::~TIniFileStore() = default;

QString TIniFileStore::Mapped(const QString& section) const
{
    if (FBaseSection.isEmpty())
        return section;
    return section.isEmpty() ? FBaseSection : FBaseSection + QLatin1Char('\\') + section;
}

QString TIniFileStore::ReadString(const QString& section, const QString& key, const QString& defaultValue)
{
    return FDocument->Read(Mapped(section), key).value_or(defaultValue);
}

void TIniFileStore::WriteString(const QString& section, const QString& key, const QString& text)
{
    FDocument->Write(Mapped(section), key, text);
}

int TIniFileStore::ReadInteger(const QString& section, const QString& key, int defaultValue)
{
    const std::optional<QString> text = FDocument->Read(Mapped(section), key);
    if (!text)
        return defaultValue;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

void TIniFileStore::WriteInteger(const QString& section, const QString& key, int value)
{
    FDocument->Write(Mapped(section), key, QString::number(value));
}

void TIniFileStore::DeleteKey(const QString& section, const QString& key)
{
    FDocument->DeleteKey(Mapped(section), key);
}

bool TIniFileStore::ValueExists(const QString& section, const QString& key)
{
    return FDocument->Read(Mapped(section), key).has_value();
}

void TIniFileStore::EraseSection(const QString& section)
{
    FDocument->EraseSection(Mapped(section));
}

QStringList TIniFileStore::KeyNames(const QString& section)
{
    return FDocument->KeyNames(Mapped(section));
}

int TIniFileStore::SectionCount()
{
    return static_cast<int>(FDocument->SectionNames().size());
}

void TIniFileStore::Flush(bool saving)
{
    FDocument->Flush(saving);
}

QString TIniFileStore::Path() const
{
    return FDocument->Path();
}

QString TIniFileStore::TakeLoadError()
{
    return FDocument->TakeLoadError();
}

TRegistryStore::TRegistryStore(const QString& keyPath)
    : TIniFileStore(SettingsFilePath())
{
    QString relative = QString(keyPath).replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (relative.startsWith(QLatin1Char('\\')))
        relative.remove(0, 1);
    while (relative.endsWith(QLatin1Char('\\')))
        relative.chop(1);
    if (relative.compare(kSettingsStoreKey, Qt::CaseInsensitive) == 0)
        return;
    const QString prefix = kSettingsStoreKey + QLatin1Char('\\');
    if (!relative.startsWith(prefix, Qt::CaseInsensitive))
        throw EIniFileError(QStringLiteral("No settings store for the key %1").arg(keyPath));
    SetBaseSection(relative.mid(prefix.size()));
}
