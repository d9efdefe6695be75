// The import-dbx subcommand: Outlook Express 5/6 stores and folder files
// into the store, with progress and a summary of what came in and what
// could not.

#include "cli/CliCommand.h"
#include "cli/FolderPaths.h"
#include "cli/ProgressPrinter.h"

#include "store/DbxImporter.h"
#include "store/OEFolders.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <csignal>

namespace {

const QString kJsonOption = QStringLiteral("json");

// Ctrl+C asks the import to stop after the message being saved, so that
// the summary can say how far it got.
std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int)
{
    gInterrupted = true;
}

class TInterruptScope
{
public:
    TInterruptScope() : FOld(std::signal(SIGINT, OnInterrupt)) { gInterrupted = false; }
    ~TInterruptScope() { std::signal(SIGINT, FOld); }
    TInterruptScope(const TInterruptScope&) = delete;
    TInterruptScope& operator=(const TInterruptScope&) = delete;

private:
    void (*FOld)(int);
};

// Names that come from the imported files, made safe for a terminal:
// control characters and bidirectional overrides become U+FFFD.
QString TerminalSafe(QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        const bool bidi = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
                          u == 0x200F || u == 0x061C;
        if (c.category() == QChar::Other_Control || bidi)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QJsonArray JsonList(const QStringList& list)
{
    return QJsonArray::fromStringList(list);
}

QJsonObject FileJson(TOEFolders& folders, const TDbxFileReport& file)
{
    return {
        {QStringLiteral("file"), file.File},
        {QStringLiteral("folderId"), static_cast<qint64>(file.Folder)},
        {QStringLiteral("folder"), FolderPath(folders, file.Folder)},
        {QStringLiteral("found"), file.Found},
        {QStringLiteral("imported"), file.Imported},
        {QStringLiteral("alreadyImported"), file.AlreadyImported},
        {QStringLiteral("recovered"), file.Recovered},
        {QStringLiteral("incomplete"), file.Incomplete},
        {QStringLiteral("withoutSource"), file.WithoutSource},
        {QStringLiteral("indexDamaged"), file.IndexDamaged},
        {QStringLiteral("error"), file.Error},
    };
}

QJsonObject SummaryJson(TOEFolders& folders, const TDbxImportSummary& summary)
{
    QJsonArray files;
    for (const TDbxFileReport& file : summary.Files)
        files.append(FileJson(folders, file));
    return {
        {QStringLiteral("type"), QStringLiteral("summary")},
        {QStringLiteral("complete"), summary.Complete()},
        {QStringLiteral("cancelled"), summary.Cancelled},
        {QStringLiteral("failure"), summary.Failure},
        {QStringLiteral("imported"), summary.Imported()},
        {QStringLiteral("alreadyImported"), summary.AlreadyImported()},
        {QStringLiteral("recovered"), summary.Recovered()},
        {QStringLiteral("files"), files},
        {QStringLiteral("missingFiles"), JsonList(summary.MissingFiles)},
        {QStringLiteral("skippedFiles"), JsonList(summary.SkippedFiles)},
        {QStringLiteral("folderListProblems"), JsonList(summary.FolderListProblems)},
    };
}

// One line of JSON per whole percent of progress.
class TJsonProgress
{
public:
    explicit TJsonProgress(QTextStream& out) : FOut(out) {}
    bool operator()(qint64 done, qint64 total)
    {
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent != FPercent) {
            FPercent = percent;
            const QJsonObject line{{QStringLiteral("type"), QStringLiteral("progress")},
                                   {QStringLiteral("done"), done},
                                   {QStringLiteral("total"), total}};
            FOut << QJsonDocument(line).toJson(QJsonDocument::Compact) << QLatin1Char('\n');
            FOut.flush();
        }
        return true;
    }

private:
    QTextStream& FOut;
    int FPercent = -1;
};

QString FileLine(TOEFolders& folders, const TDbxFileReport& file)
{
    QString line = QStringLiteral("%1 -> %2: %3 imported")
                       .arg(QFileInfo(file.File).fileName(), TerminalSafe(FolderPath(folders, file.Folder)),
                            QString::number(file.Imported));
    if (file.AlreadyImported > 0)
        line += QStringLiteral(", %1 already imported").arg(file.AlreadyImported);
    if (file.IndexDamaged)
        line += QStringLiteral(", index damaged: %1 recovered from the data blocks").arg(file.Recovered);
    if (file.Incomplete > 0)
        line += QStringLiteral(", %1 cut short by broken data").arg(file.Incomplete);
    if (file.WithoutSource > 0)
        line += QStringLiteral(", %1 without a source in the file").arg(file.WithoutSource);
    return line;
}

void PrintText(TCliRun& run, TOEFolders& folders, const TDbxImportSummary& summary)
{
    for (const TDbxFileReport& file : summary.Files) {
        if (file.Error.isEmpty())
            run.Out << FileLine(folders, file) << QLatin1Char('\n');
        else
            run.Err << QStringLiteral("vellumo-cli import-dbx: %1: %2\n").arg(file.File, file.Error);
    }
    for (const QString& problem : summary.FolderListProblems)
        run.Err << QStringLiteral("vellumo-cli import-dbx: %1 (message files it does not name were imported as "
                                  "folders named after them)\n").arg(problem);
    for (const QString& missing : summary.MissingFiles)
        run.Err << QStringLiteral("vellumo-cli import-dbx: Folders.dbx names %1, which is not there\n")
                       .arg(TerminalSafe(missing));
    for (const QString& skipped : summary.SkippedFiles)
        run.Err << QStringLiteral("vellumo-cli import-dbx: %1 holds no folder's messages; skipped\n").arg(skipped);
    run.Out << QStringLiteral("imported %1 messages").arg(summary.Imported());
    if (summary.AlreadyImported() > 0)
        run.Out << QStringLiteral(" (%1 were already imported)").arg(summary.AlreadyImported());
    run.Out << QLatin1Char('\n');
    if (summary.Cancelled)
        run.Err << QStringLiteral("vellumo-cli import-dbx: interrupted; the messages imported so far are kept, "
                                  "and running the same command again goes on from there\n");
    if (!summary.Failure.isEmpty())
        run.Err << QStringLiteral("vellumo-cli import-dbx: %1; the messages imported so far are kept\n")
                       .arg(summary.Failure);
}

int ImportDbx(TCliRun& run)
{
    const QStringList args = run.Arguments();
    if (args.size() < 2)
        throw EUsageError(QStringLiteral("expected a target folder and one or more paths"));
    TOEFolders& folders = run.Folders();
    const TStoreId target = ResolveFolder(folders, args[0]);
    const bool json = run.Parser.isSet(kJsonOption);
    TDbxImportSummary summary;
    {
        TInterruptScope interrupt;
        TJsonProgress jsonProgress(run.Out);
        TProgressPrinter textProgress(run.Err, QStringLiteral("importing"));
        summary = TDbxImporter(folders, target).Import(args.mid(1), [&](qint64 done, qint64 total) {
            if (json)
                jsonProgress(done, total);
            else
                textProgress(done, total);
            return !gInterrupted;
        });
    }
    if (json)
        run.Out << QJsonDocument(SummaryJson(folders, summary)).toJson(QJsonDocument::Compact) << QLatin1Char('\n');
    else
        PrintText(run, folders, summary);
    return summary.Complete() ? 0 : 1;
}

} // namespace

void AddDbxCommands(std::vector<TCliCommand>& commands)
{
    commands.push_back({QStringLiteral("import-dbx"),
                        QStringLiteral("Import Outlook Express 5/6 folder files (.dbx), or a whole store folder "
                                       "holding Folders.dbx, below a folder."),
                        QStringLiteral("TARGET-FOLDER PATH..."),
                        [](QCommandLineParser& parser) {
                            parser.addOption({kJsonOption, QStringLiteral("Write progress and the summary as JSON "
                                                                          "lines on standard output.")});
                        },
                        ImportDbx});
}
