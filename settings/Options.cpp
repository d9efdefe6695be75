#include "settings/Options.h"

#include "settings/AppPaths.h"
#include "settings/CharsetSwitches.h"
#include "settings/GlobStrings.h"
#include "settings/IniFiler.h"
#include "settings/UiHooks.h"

#include "base/Exception.h"

#include <QDir>
#include <QStandardPaths>

#include <limits>
#include <mutex>

namespace {

std::mutex gSourceMutex;
TOptions::TMarkPreviewSource gMarkPreviewSource;

TOptions::TMarkPreviewSource MarkPreviewSource()
{
    std::lock_guard lock(gSourceMutex);
    return gMarkPreviewSource;
}

// A 32-bit number value of the store engine's settings; any other value
// counts as absent.
std::optional<int> ReadNumber(const TOptions::TMarkPreviewSource& source, const char* key)
{
    const std::optional<qint64> value = source ? source(QByteArray(key)) : std::nullopt;
    if (!value || *value < std::numeric_limits<qint32>::min() || *value > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return static_cast<qint32>(static_cast<quint32>(*value));
}

} // namespace

TOptions* Options()
{
    return qobject_cast<TOptions*>(BaseOptions());
}

QString DefaultOptionsFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::currentPath();
    const QString name = ProgramDisplayName().replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString folder = QDir::cleanPath(base + QLatin1Char('/') + name);
    QDir().mkpath(folder);
    return folder;
}

TOptions::TOptions(QObject* parent)
    : TBaseOptions(parent)
{
    SetUpOptionsPath();
    SetAutoRus(false);
    SetAutoRusHeader(false);
    FMarkPreviewAsRead = ReadMarkPreviewAsRead(MarkPreviewSource());
    try {
        FAdSamples.LoadAtStartUp(OptionsPath(), DataFolder());
    } catch (const Exception& error) {
        ShowErrorBox(error.Message());
    }
    LoadSettings(this);
}

TOptions::~TOptions() = default;

void TOptions::SetUpOptionsPath()
{
    const QString key = QStringLiteral("OptionsPath");
    QString path = ReadTopValue(key, QString());
    if (path.isEmpty()) {
        path = DefaultOptionsFolder();
        WriteTopValue(key, path);
    }
    if (!QDir().mkpath(path)) {
        path = DefaultOptionsFolder();
        WriteTopValue(key, path);
    }
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    SetOptionsPath(path);
}

void TOptions::SetShowHeader(bool on)
{
    if (on == FShowHeader)
        return;
    FShowHeader = on;
    Q_EMIT ShowHeaderChanged(on);
}

bool TOptions::AutoRus() const
{
    return AutoRusEnabled();
}

void TOptions::SetAutoRus(bool on)
{
    SetAutoRusEnabled(on);
}

bool TOptions::AutoRusHeader() const
{
    return AutoRusHeaderEnabled();
}

void TOptions::SetAutoRusHeader(bool on)
{
    SetAutoRusHeaderEnabled(on);
}

void TOptions::SetMessageExt(const QString& extensions)
{
    FMessageExt = extensions.isEmpty() ? kDefaultMessageExt : extensions;
}

void TOptions::SetAdvertismentLevel(int level)
{
    if (level >= 11 && level <= 100)
        FAdvertismentLevel = level;
}

void TOptions::SetShowPreview(bool on)
{
    if (on == FShowPreview)
        return;
    FShowPreview = on;
    Q_EMIT ShowPreviewChanged(on);
}

QString TOptions::AdSamplesPath() const
{
    return OptionsPath() + TAdSamples::kFileName;
}

void TOptions::DefineIniProperties(TIniFiler& filer)
{
    if (filer.Loading())
        filer.LoadObject(FFavorites);
    else
        filer.SaveObject(FFavorites);
}

TOptions::TMarkPreviewSource TOptions::SetMarkPreviewAsReadSource(TMarkPreviewSource source)
{
    std::lock_guard lock(gSourceMutex);
    std::swap(gMarkPreviewSource, source);
    return source;
}

int TOptions::ReadMarkPreviewAsRead(const TMarkPreviewSource& source)
{
    const int version6 = ReadNumber(source, "Outlook Express\\6.0\\mail\\MarkPreviewAsRead").value_or(-1);
    if (version6 != -1)
        return version6;
    return ReadNumber(source, "Outlook Express\\5.0\\mail\\MarkPreviewAsRead").value_or(10);
}
