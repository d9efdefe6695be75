#pragma once

#include "settings/IniPersistent.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;
class TGlobStrings;
class THistory;
class TIniFiler;

// The settings object's base: where the settings live, the language table,
// the history of entered texts, the version and the temporary files of the
// run. One exists per run, created before any window; `BaseOptions()`
// reaches it from anywhere.
class TBaseOptions : public TIniPersistent
{
    Q_OBJECT
public:
    explicit TBaseOptions(QObject* parent = nullptr);
    ~TBaseOptions() override;

    // Full path of the loaded language file.
    [[nodiscard]] const QString& LanguageFile() const { return FLanguageFile; }
    // The settings store key, "software\Quorvan\Vellumo".
    [[nodiscard]] const QString& StorePath() const { return FStorePath; }
    // The per-user data folder, ending with "/"; set by TOptions.
    [[nodiscard]] const QString& OptionsPath() const { return FOptionsPath; }
    // The program's version text ("0.01.00.00").
    [[nodiscard]] const QString& Version() const { return FVersion; }
    // "Quorvan Mailer (v <version>)", the X-Mailer header value.
    [[nodiscard]] QString MailerName() const;
    [[nodiscard]] bool StoreIsFile() const { return false; }
    // Set when no language file could be found: the run must end before
    // any window opens.
    [[nodiscard]] bool StopRequested() const { return FStopRequested; }

    [[nodiscard]] TGlobStrings& Language() { return *FLanguage; }
    [[nodiscard]] THistory& History() { return *FHistory; }

    // A value of the store key itself (not of a section); the default when
    // it is missing or longer than kTopValueLimit bytes.
    [[nodiscard]] QString ReadTopValue(const QString& name, const QString& defaultValue) const;
    // Writes such a value at once; a failure is reported, never raised.
    void WriteTopValue(const QString& name, const QString& text);
    static constexpr int kTopValueLimit = 4096;

    // One load or save pass over the settings store for one object.
    void LoadSettings(QObject* object);
    void SaveSettings(QObject* object);
    // One pass running `work` on a filer over the settings store, written
    // at the end of a save pass. File and ini errors (also a settings file
    // that could not be read) are shown as file errors naming the settings
    // file, others are dropped; the run continues in either case.
    void RunSettingsPass(bool loading, const std::function<void(TIniFiler&)>& work);

    // Loads a language file: a bare name from the "local" folder of the
    // data folder, a relative path from the data folder, or an absolute
    // path. Asks for the file when it is missing; remembers the choice.
    void SetLanguage(const QString& fileName);

    // Remembers a file to delete when the settings object goes; an empty
    // path or one already listed is ignored.
    void AddTempFile(const QString& path);
    [[nodiscard]] QStringList TempFiles() const { return FTempFiles; }
    // A private folder of the run (mode 0700), removed at the end; created
    // on first use. Empty when it cannot be created.
    [[nodiscard]] QString TempFolder();

protected:
    void SetOptionsPath(const QString& path) { FOptionsPath = path; }

private:
    [[nodiscard]] bool ResolveMissingLanguage(QString& path);
    void LoadLanguageFile(const QString& path);
    void DeleteTempFiles();

    QString FLanguageFile;
    QString FStorePath;
    QString FOptionsPath;
    QString FVersion;
    QStringList FTempFiles;
    std::unique_ptr<QTemporaryDir> FTempFolder;
    bool FStopRequested = false;
    std::unique_ptr<TGlobStrings> FLanguage;
    std::unique_ptr<THistory> FHistory;
};

// The settings object of the run, or none.
[[nodiscard]] TBaseOptions* BaseOptions();

// The language file's full path for a stored or chosen name: a bare name
// lies in "<program folder>/local/", a relative path below the program
// folder, an absolute path stays.
[[nodiscard]] QString ResolveLanguagePath(const QString& name, const QString& programFolder);
// The "LanguageFile" value for a full path: the bare name for a file of
// the "local" folder, else the full path.
[[nodiscard]] QString StoredLanguageName(const QString& fullPath, const QString& programFolder);
