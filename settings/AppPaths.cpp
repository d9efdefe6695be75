#include "settings/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString SettingsFilePath()
{
    const QString configured = qEnvironmentVariable("VELLUMO_CONFIG");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Quorvan/Vellumo.ini");
}

QString DataFolder()
{
    const QString configured = qEnvironmentVariable("VELLUMO_DATA_DIR");
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates.append(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vellumo"));
    candidates.append(QStringLiteral(VELLUMO_INSTALL_DATA_DIR));
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate + QStringLiteral("/local")).isDir())
            return QDir::cleanPath(candidate);
    return QDir::cleanPath(QStringLiteral(VELLUMO_BUILD_DATA_DIR));
}

QString ProgramVersion()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(VELLUMO_VERSION_MAJOR)
        .arg(VELLUMO_VERSION_MINOR, 2, 10, QLatin1Char('0'))
        .arg(VELLUMO_VERSION_PATCH, 2, 10, QLatin1Char('0'))
        .arg(0, 2, 10, QLatin1Char('0'));
}
