#include "tests/cli/CliTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QProcess>

#include <sys/resource.h>

void CliTest::SetUp()
{
    FFolder = TTestEnvironment::NewFolder();
    FStore = FFolder + QStringLiteral("/store.db");
    RunOk({QStringLiteral("--create"), QStringLiteral("folders")});
}

TCliResult CliTest::Run(const QStringList& arguments, const TCliRunOptions& options) const
{
    return RunOn(FStore, arguments, options);
}

TCliResult CliTest::RunOn(const QString& store, const QStringList& arguments, const TCliRunOptions& options)
{
    QProcess process;
    if (const qint64 bytes = options.FileSizeLimit; bytes >= 0)
        process.setChildProcessModifier([bytes] {
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(bytes);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    // Mailbox separators carry local times: the tests read them in UTC.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    for (const auto& [name, value] : options.Environment) {
        if (value.isEmpty())
            environment.remove(name);
        else
            environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELLUMO_CLI), QStringList{QStringLiteral("--store"), store} + arguments);
    TCliResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        return result;
    }
    result.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.Out = process.readAllStandardOutput();
    result.Err = process.readAllStandardError();
    return result;
}

QByteArray CliTest::RunOk(const QStringList& arguments) const
{
    const TCliResult result = Run(arguments);
    EXPECT_EQ(result.Status, 0) << arguments.join(QLatin1Char(' ')).toStdString() << ": " << result.Err.constData();
    return result.Out;
}
