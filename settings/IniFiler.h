#pragma once

#include "settings/IniPropInfo.h"
#include "settings/SettingsStore.h"

#include <QString>

#include <memory>
#include <optional>

class QObject;

// One load or save pass over a settings store: walks the published
// properties of objects and reads or writes each one as text under a key
// named after the property, in a section named after the object.
// Class-typed properties are filed recursively in sections of their own.
class TIniFiler
{
public:
    explicit TIniFiler(std::unique_ptr<TSettingsStore> store);
    // A pass over a text ini file.
    [[nodiscard]] static std::unique_ptr<TIniFiler> OverFile(const QString& path);
    // A pass over the settings key (or a key below it).
    [[nodiscard]] static std::unique_ptr<TIniFiler> OverRegistryKey(const QString& keyPath);
    ~TIniFiler();

    [[nodiscard]] TSettingsStore& IniFile() { return *FIniFile; }
    [[nodiscard]] const QString& Section() const { return FSection; }
    void SetSection(const QString& section) { FSection = section; }
    [[nodiscard]] const QString& Prefix() const { return FPrefix; }
    void SetPrefix(const QString& prefix) { FPrefix = prefix; }
    [[nodiscard]] bool Loading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }

    // The value of `key` in the current section; empty when absent or when
    // the store refuses the read.
    [[nodiscard]] QString ReadValue(const QString& key);
    // Writes the value; when the store refuses, deletes the key and writes
    // once more (a second failure propagates).
    void WriteValue(const QString& key, const QString& text);
    // ReadValue as a decimal integer, 0 when it does not convert.
    [[nodiscard]] int ReadInt(const QString& key);
    void WriteInt(const QString& key, int value);

    // Files the object in its own section.
    void LoadObject(QObject* object);
    void SaveObject(QObject* object);
    // Files every persisted property of the object in the current section,
    // then runs the object's own hook.
    void FileProperties(QObject* object, bool loading);
    void FileProperty(QObject* object, const TIniPropInfo& property, bool loading);
    // Files the named property (letter case ignored); nothing for an absent
    // object, an empty name or a name the class lacks. Without `loading`
    // the filer's own direction is used.
    void DefineProperty(QObject* object, const QString& name, std::optional<bool> loading = std::nullopt);

    // Writes what the pass changed into the file. Raises EIniFileError.
    void Commit();

private:
    void FileObject(QObject* object, bool loading);
    void FileCollection(class TIniCollection* collection, bool loading);
    void FileStringList(QObject* object, const TIniPropInfo& property, bool loading);
    void RunHook(QObject* object, bool loading);

    std::unique_ptr<TSettingsStore> FIniFile;
    QString FSection;
    QString FPrefix;
    bool FLoading = false;
};

// Restores the filer's section on the way out, also when an exception passes.
class TIniSectionGuard
{
public:
    explicit TIniSectionGuard(TIniFiler& filer) : FFiler(filer), FSaved(filer.Section()) {}
    ~TIniSectionGuard() { FFiler.SetSection(FSaved); }
    TIniSectionGuard(const TIniSectionGuard&) = delete;
    TIniSectionGuard& operator=(const TIniSectionGuard&) = delete;

private:
    TIniFiler& FFiler;
    QString FSaved;
};

// The section an object is filed in (collection items, collections, our
// persistent classes, a published "GetSectionName", else the class name
// without its first letter).
[[nodiscard]] QString IniSectionName(const QObject* object);
