#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TIniDocument;

// Sections hold keys, keys hold values: what a filer pass reads and writes.
// Writes reach the store's memory at once; `Flush` puts them into the file.
class TSettingsStore
{
public:
    virtual ~TSettingsStore() = default;

    // The value as text, or `defaultValue` when the key is absent.
    [[nodiscard]] virtual QString ReadString(const QString& section, const QString& key, const QString& defaultValue) = 0;
    virtual void WriteString(const QString& section, const QString& key, const QString& text) = 0;
    // The value as a 32-bit integer; text that does not convert gives the default.
    [[nodiscard]] virtual int ReadInteger(const QString& section, const QString& key, int defaultValue) = 0;
    virtual void WriteInteger(const QString& section, const QString& key, int value) = 0;
    virtual void DeleteKey(const QString& section, const QString& key) = 0;
    [[nodiscard]] virtual bool ValueExists(const QString& section, const QString& key) = 0;
    // Removes the section with every section below it.
    virtual void EraseSection(const QString& section) = 0;
    [[nodiscard]] virtual QStringList KeyNames(const QString& section) = 0;
    // How many sections the store holds; bounds the counts read from a
    // damaged file.
    [[nodiscard]] virtual int SectionCount() = 0;

    // Writes what changed into the file; `saving` marks a save pass, the
    // only writer allowed to replace a file that could not be read.
    // Raises EIniFileError when the file cannot be written.
    virtual void Flush(bool saving) = 0;
    // The path reported with failures.
    [[nodiscard]] virtual QString Path() const = 0;
    // Why the file could not be read, once per run; empty otherwise.
    [[nodiscard]] virtual QString TakeLoadError() = 0;
};

// A text ini file given by its path.
class TIniFileStore : public TSettingsStore
{
public:
    explicit TIniFileStore(const QString& path);
    ~TIniFileStore() override;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) override;
    void WriteString(const QString& section, const QString& key, const QString& text) override;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) override;
    void WriteInteger(const QString& section, const QString& key, int value) override;
    void DeleteKey(const QString& section, const QString& key) override;
    bool ValueExists(const QString& section, const QString& key) override;
    void EraseSection(const QString& section) override;
    QStringList KeyNames(const QString& section) override;
    int SectionCount() override;
    void Flush(bool saving) override;
    QString Path() const override;
    QString TakeLoadError() override;

protected:
    // Sections are taken relative to this one (empty: the file's own).
    void SetBaseSection(const QString& section) { FBaseSection = section; }

private:
    [[nodiscard]] QString Mapped(const QString& section) const;

    std::shared_ptr<TIniDocument> FDocument;
    QString FBaseSection;
};

// The settings key of the user ("software\Quorvan\Vellumo") or a key below
// it, kept in the per-user settings file: every key below the store key is
// a section of that name ("TaskForm\ 0"), and the values of the store key
// itself sit before the first section. A key outside the store key raises
// EIniFileError.
class TRegistryStore : public TIniFileStore
{
public:
    explicit TRegistryStore(const QString& keyPath);
};
