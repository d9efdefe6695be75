#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> gRoot;
int gCounter = 0;

void Point(const char* variable, const QString& path)
{
    qputenv(variable, QFile::encodeName(path));
}

} // namespace

void TTestEnvironment::SetUp()
{
    gRoot = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vellumo-test-XXXXXX"));
    const QString root = gRoot->path();
    for (const char* sub : {"config", "data", "runtime", "cache", "home"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Point("VELLUMO_STORE", root + QStringLiteral("/data/store.db"));
    Point("VELLUMO_CONFIG", root + QStringLiteral("/config/Vellumo.ini"));
    Point("VELLUMO_DATA_DIR", QStringLiteral(VELLUMO_SOURCE_DATA_DIR));
    Point("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    Point("XDG_DATA_HOME", root + QStringLiteral("/data"));
    Point("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
    Point("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    Point("HOME", root + QStringLiteral("/home"));
    // Widgets tests never need a display; test discovery runs without ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString TTestEnvironment::Root()
{
    return gRoot->path();
}

QString TTestEnvironment::NewFolder()
{
    const QString path = Root() + QStringLiteral("/t%1").arg(++gCounter);
    QDir().mkpath(path);
    return path;
}

QString TTestEnvironment::NewStorePath()
{
    return NewFolder() + QStringLiteral("/store.db");
}

QString FixturePath(const QString& relativePath)
{
    return QStringLiteral(VELLUMO_TEST_DATA_DIR) + QLatin1Char('/') + relativePath;
}

QByteArray ReadFixture(const QString& relativePath)
{
    QFile file(FixturePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}
