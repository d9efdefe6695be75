// A cold start of the program as the user waits for it: from starting
// `vellumo` with two browser windows of the last run to restore until both
// have listed their folders in full and painted them. The store holds
// 20,000 messages, 16,000 in the Inbox and 4,000 in a second folder. Beside
// it, in the same run, the same start with both windows on empty folders:
// what the program costs before it reads any message.

#include "bench/support/SyntheticMail.h"
#include "store/OEFolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr TStoreId kInbox = 1;
constexpr int kInboxMessages = 16000;
constexpr int kOtherMessages = 4000;
constexpr int kTimeoutMs = 120000;

QByteArray WindowSection(int number, TStoreId folder, int left)
{
    return QString::asprintf("[TaskForm\\%2d]\n", number).toLatin1() + "ClassName=TTriForm\nLeft=" +
           QByteArray::number(left) +
           "\nTop=0\nClientWidth=1000\nClientHeight=700\nShowEditor=True\nShowTextToolbar=True\nShowTree=True\n"
           "ShowStatusBar=True\nMessageSort=msDateSent\nInvertSort=True\nColumnsCount=4\nColumn0=mcSubject\n"
           "Column1=mcFromRealName\nColumn2=mcDateSent\nColumn3=mcSize\nFolderId=" +
           QByteArray::number(folder) + "\n\n";
}

// A store, a settings file with two windows on the given folders, and the
// private folders of one run.
class TStartupSetup
{
public:
    explicit TStartupSetup(bool withMessages)
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(Path("store.db")));
        TStoreNamespace store;
        store.Initialize();
        TOEFolders folders;
        FOther = folders.AddFolder(kRootFolderId, "Archive");
        if (withMessages) {
            Fill(store, kInbox, kInboxMessages, 7);
            Fill(store, FOther, kOtherMessages, 11);
        }
        QFile settings(Path("Vellumo.ini"));
        settings.open(QIODevice::WriteOnly);
        settings.write("LanguageFile=english.ini\n\n" + WindowSection(0, kInbox, 0) + WindowSection(1, FOther, 400) +
                       "[TaskForm\\ManagerForm]\nFormsCount=2\n");
        for (const char* folder : {"config", "data", "runtime", "cache"})
            QDir(FDir.path()).mkpath(QLatin1String(folder));
        QFile::setPermissions(Path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Milliseconds from the start of the program until it says it is ready.
    double Start() const
    {
        QProcess program;
        program.setProcessEnvironment(Environment());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        program.start(QStringLiteral(VELLUMO_PROGRAM), {});
        QByteArray output;
        while (!output.contains("ready\n") && program.waitForReadyRead(kTimeoutMs))
            output += program.readAllStandardOutput();
        const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        program.waitForFinished(kTimeoutMs);
        return output.contains("ready\n") ? elapsed : -1;
    }

private:
    [[nodiscard]] QString Path(const char* name) const { return FDir.filePath(QLatin1String(name)); }

    static void Fill(TStoreNamespace& store, TStoreId folder, int count, uint32_t seed)
    {
        std::unique_ptr<TStoreFolder> target;
        store.OpenFolder(folder, 0, target);
        for (const QByteArray& message : SyntheticMessages({count, 6000, seed}))
            target->SaveMessage(message, kMsgUnread, nullptr);
    }

    [[nodiscard]] QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("VELLUMO_REPORT_READY"), QStringLiteral("exit"));
        environment.insert(QStringLiteral("VELLUMO_STORE"), Path("store.db"));
        environment.insert(QStringLiteral("VELLUMO_CONFIG"), Path("Vellumo.ini"));
        environment.insert(QStringLiteral("VELLUMO_DATA_DIR"), QStringLiteral(VELLUMO_BUILD_DATA_DIR));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), Path("data"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path("runtime"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), Path("cache"));
        return environment;
    }

    QTemporaryDir FDir;
    TStoreId FOther = kNoStoreId;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void RunStarts(benchmark::State& state, const TStartupSetup& setup)
{
    // The first start lists the folders for the first time and keeps what
    // it derived; the starts measured are the ones a user has every day.
    setup.Start();
    std::vector<double> starts;
    for (auto _ : state) {
        const double elapsed = setup.Start();
        if (elapsed < 0) {
            state.SkipWithError("the program did not report that it was ready");
            break;
        }
        starts.push_back(elapsed);
        state.SetIterationTime(elapsed / 1e3);
    }
    state.counters["start_median_ms"] = Median(starts);
}

void BM_StartTwoWindowsOn20000Messages(benchmark::State& state)
{
    static const TStartupSetup setup(true);
    RunStarts(state, setup);
}
BENCHMARK(BM_StartTwoWindowsOn20000Messages)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);

void BM_StartTwoWindowsOnEmptyFolders(benchmark::State& state)
{
    static const TStartupSetup setup(false);
    RunStarts(state, setup);
}
BENCHMARK(BM_StartTwoWindowsOnEmptyFolders)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);

} // namespace
