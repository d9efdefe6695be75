#pragma once

#include "settings/UiHooks.h"
#include "tests/support/CaseName.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small helpers shared by the settings tests.

// The paths of the damaged copies kept beside a settings file.
[[nodiscard]] QStringList DamagedCopies(const QString& path);

// Points an environment variable elsewhere for the life of the object.
class TScopedEnv
{
public:
    TScopedEnv(const char* name, const QString& value);
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* FName;
    QByteArray FOld;
    bool FHadValue;
};

// Collects the texts of error boxes (the program's own and the system's)
// instead of printing them.
class TCapturedBoxes
{
public:
    TCapturedBoxes();
    ~TCapturedBoxes();
    TCapturedBoxes(const TCapturedBoxes&) = delete;
    TCapturedBoxes& operator=(const TCapturedBoxes&) = delete;

    QStringList Texts;

private:
    TErrorBoxHandler FOldErrorBox;
    TSystemErrorBoxHandler FOldSystemBox;
};

// A private settings file, data folder and user data folder per test: the
// settings file starts absent, and the data folder holds the shipped
// language files unless the test writes its own.
class TSettingsSandbox
{
public:
    TSettingsSandbox();

    [[nodiscard]] QString ConfigPath() const { return FRoot + QStringLiteral("/config/Vellumo.ini"); }
    [[nodiscard]] QString DataFolder() const { return FRoot + QStringLiteral("/program"); }
    [[nodiscard]] QString UserDataFolder() const { return FRoot + QStringLiteral("/userdata"); }
    [[nodiscard]] const QString& Root() const { return FRoot; }
    // Writes a language file into the data folder's "local" folder.
    void WriteLanguage(const QString& name, const QByteArray& text) const;

private:
    QString FRoot;
    TScopedEnv FConfig;
    TScopedEnv FData;
    TScopedEnv FUserData;
};
