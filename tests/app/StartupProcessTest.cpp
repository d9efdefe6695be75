// The program itself, started twice: the second start hands over to the
// first, with the message files named on it, and ends; a store that cannot
// be opened stops the start-up before the single-instance lock exists.

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QProcessEnvironment ProgramEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vellumo.instance.info=true"));
    return env;
}

bool WaitForOutput(QProcess& process, const QByteArray& text, QByteArray& seen, int timeoutMs = 15000)
{
    return WaitUntil([&] {
        process.waitForReadyRead(20);
        seen += process.readAllStandardError();
        return seen.contains(text);
    }, timeoutMs);
}

QString RuntimeFile(const char* suffix)
{
    return QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")) + QStringLiteral("/VellumoOneExeMutex")
           + QLatin1String(suffix);
}

// Starts the program as the first instance and waits until it listens.
void StartFirst(QProcess& first)
{
    QFile::remove(RuntimeFile(".socket"));   // left behind by an earlier first instance
    first.setProcessEnvironment(ProgramEnvironment());
    first.start(QStringLiteral(VELLUMO_PROGRAM), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitUntil([] { return QFileInfo::exists(RuntimeFile(".socket")); }, 15000));
}

} // namespace

TEST(StartupProcess, ASecondStartActivatesTheFirstAndEnds)
{
    QProcess first;
    StartFirst(first);

    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.start(QStringLiteral(VELLUMO_PROGRAM), {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    QByteArray seen;
    EXPECT_TRUE(WaitForOutput(first, "activation request accepted", seen)) << seen.constData();
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    first.waitForFinished(5000);
}

TEST(StartupProcess, AFileNamedOnASecondStartOpensInTheFirst)
{
    QProcess first;
    StartFirst(first);

    // Named relative to the second start's working folder, as a file
    // manager may run it.
    const QString folder = TTestEnvironment::NewFolder();
    WriteTestFile(folder + QStringLiteral("/a note.eml"), "Subject: Minutes\r\n\r\nHello.\r\n");
    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.setWorkingDirectory(folder);
    second.start(QStringLiteral(VELLUMO_PROGRAM), {QStringLiteral("a note.eml")});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);

    QByteArray seen;
    EXPECT_TRUE(WaitForOutput(first, "opened a message window for " + QFile::encodeName(folder) + "/a note.eml\n", seen))
        << seen.constData();
    first.terminate();
    first.waitForFinished(5000);
}

TEST(StartupProcess, ASecondStartThatGetsNoAnswerSaysSoAndFails)
{
    // The lock held, as by a first instance that does not listen.
    QFile::remove(RuntimeFile(".socket"));
    QLockFile lock(RuntimeFile(".lock"));
    ASSERT_TRUE(lock.tryLock(0));
    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.start(QStringLiteral(VELLUMO_PROGRAM), {QStringLiteral("a.eml")});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains("does not answer"));
}

TEST(StartupProcess, AStoreThatCannotBeOpenedStopsBeforeTheLock)
{
    QFile::remove(RuntimeFile(".lock"));
    QProcessEnvironment env = ProgramEnvironment();
    const QString folder = TTestEnvironment::NewFolder();   // a folder: no store
    env.insert(QStringLiteral("VELLUMO_STORE"), folder);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VELLUMO_PROGRAM), {});
    QByteArray seen;
    // What the box says, also written to standard error: the store, its path and why.
    ASSERT_TRUE(WaitForOutput(program, "cannot be opened (", seen)) << seen.constData();
    EXPECT_TRUE(seen.contains("the message store at " + QFile::encodeName(folder))) << seen.constData();
    EXPECT_FALSE(seen.contains("Outlook Express"));
    EXPECT_FALSE(QFileInfo::exists(RuntimeFile(".lock")));
    program.kill();   // the message box waits for the user
    program.waitForFinished(5000);
}

TEST(StartupProcess, HelpAndVersionAnswerWithoutAWindowSystem)
{
    struct
    {
        const char* Option;
        const char* Expected;
    } const cases[] = {{"--version", "vellumo 0.01.00.00"}, {"--help", "Usage:"}};
    for (const auto& test : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELLUMO_PROGRAM), {QString::fromLatin1(test.Option)});
        ASSERT_TRUE(program.waitForFinished(15000)) << test.Option;
        EXPECT_EQ(program.exitCode(), 0) << test.Option;
        const QByteArray out = program.readAllStandardOutput();
        EXPECT_TRUE(out.contains(test.Expected)) << test.Option << ": " << out.constData();
    }
}
