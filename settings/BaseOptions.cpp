#include "settings/BaseOptions.h"

#include "settings/AppPaths.h"
#include "settings/GlobStrings.h"
#include "settings/History.h"
#include "settings/IniErrors.h"
#include "settings/IniFiler.h"
#include "settings/SettingsStore.h"
#include "settings/UiHooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>

namespace {

std::atomic<TBaseOptions*> gBaseOptions{nullptr};

} // namespace

TBaseOptions* BaseOptions()
{
    return gBaseOptions.load(std::memory_order_acquire);
}

QString ResolveLanguagePath(const QString& name, const QString& programFolder)
{
    const QString trimmed = name.trimmed();
    if (!trimmed.contains(QLatin1Char('/')))
        return QDir::cleanPath(programFolder + QStringLiteral("/local/") + trimmed);
    if (QDir::isAbsolutePath(trimmed))
        return QDir::cleanPath(trimmed);
    return QDir::cleanPath(programFolder + QLatin1Char('/') + trimmed);
}

QString StoredLanguageName(const QString& fullPath, const QString& programFolder)
{
    const QFileInfo file(fullPath);
    if (QDir::cleanPath(file.absolutePath()) == QDir::cleanPath(programFolder + QStringLiteral("/local")))
        return file.fileName();
    return fullPath;
}

TBaseOptions::TBaseOptions(QObject* parent)
    : TIniPersistent(parent)
    , FStorePath(kSettingsStoreKey)
    , FVersion(ProgramVersion())
    , FLanguage(std::make_unique<TGlobStrings>())
{
    gBaseOptions.store(this, std::memory_order_release);
    SetLang(FLanguage.get());
    SetLanguage(ReadTopValue(QStringLiteral("LanguageFile"), QStringLiteral("english.ini")));
    FHistory = std::make_unique<THistory>(FStorePath);
}

TBaseOptions::~TBaseOptions()
{
    FHistory.reset();
    DeleteTempFiles();
    FTempFolder.reset();
    SetLang(nullptr);
    FLanguage.reset();
    TBaseOptions* self = this;
    gBaseOptions.compare_exchange_strong(self, nullptr);
}

QString TBaseOptions::MailerName() const
{
    return QStringLiteral("Quorvan Mailer (v %1)").arg(FVersion);
}

QString TBaseOptions::ReadTopValue(const QString& name, const QString& defaultValue) const
{
    try {
        const QString value = TRegistryStore(FStorePath).ReadString(QString(), name, defaultValue);
        return value.toUtf8().size() > kTopValueLimit ? defaultValue : value;
    } catch (const Exception&) {
        return defaultValue;
    }
}

void TBaseOptions::WriteTopValue(const QString& name, const QString& text)
{
    try {
        TRegistryStore store(FStorePath);
        store.WriteString(QString(), name, text);
        store.Flush(false);
    } catch (const Exception&) {
        ReportFileError(SettingsFilePath());
    }
}

void TBaseOptions::RunSettingsPass(bool loading, const std::function<void(TIniFiler&)>& work)
{
    try {
        TIniFiler filer(std::make_unique<TRegistryStore>(FStorePath));
        filer.SetLoading(loading);
        work(filer);
        filer.Commit();
        const QString loadError = filer.IniFile().TakeLoadError();
        if (!loadError.isEmpty())
            throw EIniFileError(loadError);
    } catch (const Exception&) {
        ReportFileError(SettingsFilePath());
    } catch (const std::exception&) {
        // Not a file error: dropped, the run goes on.
    }
}

void TBaseOptions::LoadSettings(QObject* object)
{
    RunSettingsPass(true, [object](TIniFiler& filer) { filer.LoadObject(object); });
}

void TBaseOptions::SaveSettings(QObject* object)
{
    RunSettingsPass(false, [object](TIniFiler& filer) { filer.SaveObject(object); });
}

void TBaseOptions::SetLanguage(const QString& fileName)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty() || name == FLanguageFile)
        return;
    const QString programFolder = DataFolder();
    QString path = ResolveLanguagePath(name, programFolder);
    if (!QFileInfo(path).isFile() && !ResolveMissingLanguage(path))
        return;
    WriteTopValue(QStringLiteral("LanguageFile"), StoredLanguageName(path, programFolder));
    LoadLanguageFile(path);
    FLanguageFile = path;
}

bool TBaseOptions::ResolveMissingLanguage(QString& path)
{
    const QString chosen = ChooseFileToOpen(path);
    if (chosen.isEmpty()) {
        FStopRequested = true;
        return false;
    }
    if (!QFileInfo(chosen).isFile()) {
        ShowSystemErrorBox(ProgramDisplayName(),
                           TGlobStrings::FormatText(QStringLiteral("%s:/n%s"), {QStringLiteral("File not found"), chosen}));
        FStopRequested = true;
        return false;
    }
    path = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    return true;
}

void TBaseOptions::LoadLanguageFile(const QString& path)
{
    if (FLanguage->FileName() == path)
        return;
    try {
        FLanguage->LoadLanguage(path);
    } catch (const EStringListError& error) {
        ShowErrorBox(error.Message());
    } catch (const Exception&) {
        ReportFileError(path);
    }
}

void TBaseOptions::AddTempFile(const QString& path)
{
    if (!path.isEmpty() && !FTempFiles.contains(path))
        FTempFiles.append(path);
}

void TBaseOptions::DeleteTempFiles()
{
    for (auto it = FTempFiles.crbegin(); it != FTempFiles.crend(); ++it)
        QFile::remove(*it);
    FTempFiles.clear();
}

QString TBaseOptions::TempFolder()
{
    if (!FTempFolder)
        FTempFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vellumo-XXXXXX"));
    return FTempFolder->isValid() ? FTempFolder->path() : QString();
}
