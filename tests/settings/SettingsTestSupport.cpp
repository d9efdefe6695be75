#include "tests/settings/SettingsTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList DamagedCopies(const QString& path)
{
    const QFileInfo file(path);
    QStringList copies;
    for (const QString& name :
         QDir(file.path()).entryList({file.fileName() + QStringLiteral(".*.bad")}, QDir::Files, QDir::Name))
        copies.append(file.path() + QLatin1Char('/') + name);
    return copies;
}

TScopedEnv::TScopedEnv(const char* name, const QString& value)
    : FName(name)
    , FOld(qgetenv(name))
    , FHadValue(qEnvironmentVariableIsSet(name))
{
    qputenv(name, QFile::encodeName(value));
}

TScopedEnv::~TScopedEnv()
{
    if (FHadValue)
        qputenv(FName, FOld);
    else
        qunsetenv(FName);
}

TCapturedBoxes::TCapturedBoxes()
    : FOldErrorBox(SetErrorBoxHandler([this](const QString& text) { Texts.append(text); }))
    , FOldSystemBox(SetSystemErrorBoxHandler(
          [this](const QString& caption, const QString& text) { Texts.append(caption + QStringLiteral("|") + text); }))
{
}

TCapturedBoxes::~TCapturedBoxes()
{
    SetErrorBoxHandler(FOldErrorBox);
    SetSystemErrorBoxHandler(FOldSystemBox);
}

TSettingsSandbox::TSettingsSandbox()
    : FRoot(TTestEnvironment::NewFolder())
    , FConfig("VELLUMO_CONFIG", FRoot + QStringLiteral("/config/Vellumo.ini"))
    , FData("VELLUMO_DATA_DIR", FRoot + QStringLiteral("/program"))
    , FUserData("XDG_DATA_HOME", FRoot + QStringLiteral("/userdata"))
{
    QDir().mkpath(DataFolder() + QStringLiteral("/local"));
    QDir().mkpath(QFileInfo(ConfigPath()).path());
    const QString shipped = QStringLiteral(VELLUMO_SOURCE_DATA_DIR);
    for (const QString& name : QDir(shipped + QStringLiteral("/local")).entryList(QDir::Files))
        QFile::copy(shipped + QStringLiteral("/local/") + name, DataFolder() + QStringLiteral("/local/") + name);
    QFile::copy(shipped + QStringLiteral("/atcdict.txt"), DataFolder() + QStringLiteral("/atcdict.txt"));
}

void TSettingsSandbox::WriteLanguage(const QString& name, const QByteArray& text) const
{
    WriteTestFile(DataFolder() + QStringLiteral("/local/") + name, text);
}
