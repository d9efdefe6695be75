// Subcommands that list, show, save, export, import, mark, copy, move and
// delete messages. They work through the same store collection as the
// message list of the windows: loaded, parsed and sorted the same way.

#include "cli/CliCommand.h"
#include "cli/FolderPaths.h"
#include "cli/MessageSelection.h"
#include "cli/MessageText.h"
#include "cli/ProgressPrinter.h"
#include "cli/TerminalText.h"

#include "base/FastMemoryStream.h"
#include "base/FileStream.h"
#include "base/SafeFile.h"
#include "base/ThreadManager.h"
#include "content/MesgUtils.h"
#include "messages/Mailbox.h"
#include "messages/MesgErrors.h"
#include "messages/MesgFiles.h"
#include "store/OEFolders.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kJsonOption = QStringLiteral("json");
const QString kSortOption = QStringLiteral("sort");
const QString kInvertOption = QStringLiteral("invert");
const QString kColumnsOption = QStringLiteral("columns");
const QString kCharsetOption = QStringLiteral("charset");
const QString kRawOption = QStringLiteral("raw");
const QString kDirOption = QStringLiteral("dir");
const QString kTextOption = QStringLiteral("text");

// Sort keys and fields by their command-line names.
const std::pair<const char*, TMessageSort> kSortNames[] = {
    {"columns", msColumns},   {"subject", msSubject},       {"from", msFrom},   {"from-email", msFromEmail},
    {"from-name", msFromRealName}, {"to", msTo},            {"to-email", msToEmail}, {"to-name", msToRealName},
    {"date", msDateSent},     {"received", msDateReceived},
};
const char* const kFieldNames[] = {"subject", "from-name", "from-email", "to-name", "to-email", "date",
                                   "received", "size", "attachment", "priority", "flagged"};

TSortOrder SortOrderFrom(const QCommandLineParser& parser)
{
    TSortOrder order;
    order.Invert = parser.isSet(kInvertOption);
    if (parser.isSet(kSortOption)) {
        const QString name = parser.value(kSortOption);
        const auto found = std::find_if(std::begin(kSortNames), std::end(kSortNames),
                                        [&](const auto& entry) { return name == QLatin1String(entry.first); });
        if (found == std::end(kSortNames))
            throw EUsageError(QStringLiteral("unknown sort key \"%1\"").arg(name));
        order.Key = found->second;
    }
    const QStringList columns = parser.value(kColumnsOption).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& column : columns.isEmpty() ? QStringList{QStringLiteral("subject"), QStringLiteral("from-name"),
                                                                 QStringLiteral("date")}
                                                   : columns) {
        const auto found = std::find_if(std::begin(kFieldNames), std::end(kFieldNames),
                                        [&](const char* field) { return column == QLatin1String(field); });
        if (found == std::end(kFieldNames))
            throw EUsageError(QStringLiteral("unknown column \"%1\"").arg(column));
        order.Columns.push_back(static_cast<int>(found - std::begin(kFieldNames)));
    }
    return order;
}

QString Flags(const TMesgItem& item)
{
    QString flags;
    flags += item.HasState(stUnread) ? QLatin1Char('U') : QLatin1Char('-');
    flags += item.HasState(stAttachment) ? QLatin1Char('A') : QLatin1Char('-');
    flags += item.HasState(stReplied) ? QLatin1Char('R') : QLatin1Char('-');
    flags += item.HasState(stFlagged) ? QLatin1Char('F') : QLatin1Char('-');
    flags += item.HasState(stUnsent) ? QLatin1Char('S') : QLatin1Char('-');
    return flags;
}

QString IsoDate(double days)
{
    return days == 0 ? QString() : DaysToDateTime(days).toString(Qt::ISODate);
}

QJsonObject ItemJson(const TMesgItem& item)
{
    return {
        {QStringLiteral("id"), static_cast<qint64>(item.Id())},
        {QStringLiteral("subject"), item.Subject()},
        {QStringLiteral("fromName"), item.FromName()},
        {QStringLiteral("fromEmail"), item.FromAddress()},
        {QStringLiteral("toName"), item.ToName()},
        {QStringLiteral("toEmail"), item.ToAddress()},
        {QStringLiteral("dateSent"), IsoDate(item.DateSent())},
        {QStringLiteral("dateReceived"), IsoDate(item.DateReceived())},
        {QStringLiteral("size"), item.Size()},
        {QStringLiteral("priority"), item.Priority()},
        {QStringLiteral("unread"), item.HasState(stUnread)},
        {QStringLiteral("attachment"), item.HasState(stAttachment)},
        {QStringLiteral("replied"), item.HasState(stReplied)},
        {QStringLiteral("flagged"), item.HasState(stFlagged)},
        {QStringLiteral("unsent"), item.HasState(stUnsent)},
        {QStringLiteral("messageId"), QString::fromLatin1(item.MessageId())},
    };
}

QString Column(const QString& text, int width)
{
    return text.size() > width ? text.left(width - 1) + QChar(0x2026) : text.leftJustified(width);
}

// The folder's messages, loaded and in the order the command line asks for.
void OpenSortedList(TCliRun& run, TOeMesgItems& items, const QString& folder)
{
    const TSortOrder order = SortOrderFrom(run.Parser);
    OpenFolderList(items, ResolveFolder(items.Folders(), folder));
    items.SetSortOrder(order);
    items.Resort();
}

int ListMessages(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(1);
    TOeMesgItems items;
    OpenSortedList(run, items, args[0]);
    TReadGuard<const TSyncItems> guard(items);
    if (run.Parser.isSet(kJsonOption)) {
        QJsonArray array;
        for (int i = 0; i < items.Count(); ++i)
            array.append(ItemJson(static_cast<const TMesgItem&>(*items.Item(i))));
        run.Out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    for (int i = 0; i < items.Count(); ++i) {
        const auto& item = static_cast<const TMesgItem&>(*items.Item(i));
        const QString from = item.FromName().isEmpty() ? item.FromAddress() : item.FromName();
        run.Out << QStringLiteral("%1  %2  %3  %4  %5\n")
                       .arg(item.Id(), 8)
                       .arg(Flags(item), Column(FormatMessageDate(0, item.DateSent()), 34),
                            Column(TerminalText(from), 24), TerminalText(item.Subject()));
    }
    return 0;
}

// The folder's list, loaded, with the messages the arguments from `first` on name.
struct TSelected {
    std::unique_ptr<TOeMesgItems> Items = std::make_unique<TOeMesgItems>();
    TMessageIdList Ids;
};

TSelected Select(TCliRun& run, int first)
{
    const QStringList args = run.Arguments();
    if (args.size() <= first)
        throw EUsageError(QStringLiteral("expected a folder and message ids"));
    TSelected selected;
    OpenFolderList(*selected.Items, ResolveFolder(selected.Items->Folders(), args[0]));
    selected.Ids = SelectMessages(*selected.Items, args.mid(first));
    return selected;
}

int ShowMessage(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(2);
    TSelected selected = Select(run, 1);
    TOeMesgItem* item = selected.Items->ItemByMessageId(selected.Ids.front());
    const QString charset = run.Parser.value(kCharsetOption);
    run.Out << TerminalText(MessageText(*item, charset), true);
    if (run.Parser.isSet(kRawOption)) {
        run.Out << QStringLiteral("\n----- source -----\n");
        run.Out.flush();
        const QByteArray source = item->Source()->ToByteArray();
        QFile out;
        out.open(stdout, QIODevice::WriteOnly);
        out.write(source);
    }
    return 0;
}

// Writes one message into a new file of the folder; returns its path.
QString SaveMessage(TCliRun& run, TOeMesgItem& item, const QString& folder, bool text)
{
    const QString name = item.FileNameBase() + (text ? QStringLiteral(".txt") : QStringLiteral(".eml"));
    try {
        const std::unique_ptr<TSafeFileStream> file = CreateUniqueFile(folder, name);
        if (text) {
            const QByteArray bytes = MessageText(item, run.Parser.value(kCharsetOption)).toUtf8();
            file->WriteBuffer(bytes.constData(), bytes.size());
            file->Commit();
        } else {
            item.SaveToStream(*file);
        }
        return file->Path();
    } catch (...) {
        QueueFileError(QDir(folder).filePath(name));
        return {};
    }
}

int SaveMessages(TCliRun& run)
{
    TSelected selected = Select(run, 1);
    const QString folder = run.Parser.isSet(kDirOption) ? run.Parser.value(kDirOption) : QStringLiteral(".");
    const bool text = run.Parser.isSet(kTextOption);
    for (TStoreId id : selected.Ids) {
        const QString path = SaveMessage(run, *selected.Items->ItemByMessageId(id), folder, text);
        if (!path.isEmpty())
            run.Out << path << QLatin1Char('\n');
    }
    return ReportQueuedErrors(run) ? 1 : 0;
}

int ExportFolder(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(2);
    TOeMesgItems items;
    OpenSortedList(run, items, args[0]);
    int written = 0;
    {
        TProgressPrinter progress(run.Err, QStringLiteral("exporting"));
        written = ExportMailbox(items, args[1], std::ref(progress));
    }
    if (ReportQueuedErrors(run))
        return 1;
    run.Out << QStringLiteral("exported %1 messages to %2\n").arg(written).arg(args[1]);
    return 0;
}

// A message file (".eml") is one message, every byte of it.
TMailboxImport ImportMessageFile(TOeMesgItems& items, const QString& path)
{
    TMailboxImport report;
    report.WholeFile = true;
    try {
        TFileStream file(path, TFileStream::TMode::OpenRead);
        TFastMemoryStream source;
        source.LoadFromStream(file);
        if (!StartsWithHeaderField(source.ToByteArray()))
            report.Headerless.append(1);
        source.SetPosition(0);
        items.ImportStream(source);
        report.Added = 1;
    } catch (...) {
        QueueFileError(path);
    }
    return report;
}

// Imports one file and reports on it: warnings for what it holds, the
// number imported, and for a failure what went wrong and how far it got.
// Returns false when the file failed.
bool ImportFile(TCliRun& run, TOeMesgItems& items, const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile() && info.size() == 0) {
        run.Err << QStringLiteral("vellumo-cli: warning: %1 is empty: skipped\n").arg(path);
        return true;
    }
    TMailboxImport report;
    if (path.endsWith(QLatin1String(".eml"), Qt::CaseInsensitive)) {
        report = ImportMessageFile(items, path);
    } else {
        TProgressPrinter progress(run.Err, QStringLiteral("importing %1").arg(path));
        ImportMailbox(items, path, false, std::ref(progress), &report);
    }
    // Every text is filled in by one arg() call: a "%2" in a file name
    // must stay as it is, not take the next value.
    for (int number : report.Headerless)
        run.Err << (report.WholeFile
                        ? QStringLiteral("vellumo-cli: warning: %1: the message has no header; imported as it is\n").arg(path)
                        : QStringLiteral("vellumo-cli: warning: %1: message %2 has no header; imported as it is\n")
                              .arg(path, QString::number(number)));
    const QStringList errors = TThreadManager::Instance().TakePendingErrors();
    for (const QString& error : errors) {
        // File errors name the file already; store errors do not.
        const QString text = error.contains(path) ? error : path + QStringLiteral(": ") + error;
        run.Err << QStringLiteral("vellumo-cli: %1 (%2 message(s) imported before the failure)\n")
                       .arg(text, QString::number(report.Added));
    }
    if (errors.isEmpty())
        run.Out << QStringLiteral("imported %1 messages from %2\n").arg(report.Added).arg(path);
    return errors.isEmpty();
}

int ImportFiles(TCliRun& run)
{
    const QStringList args = run.Arguments();
    if (args.size() < 2)
        throw EUsageError(QStringLiteral("expected a folder and one or more files"));
    TOeMesgItems items;
    OpenFolderList(items, ResolveFolder(items.Folders(), args[0]));
    bool ok = true;
    for (const QString& path : args.mid(1))
        ok = ImportFile(run, items, path) && ok;
    return ok ? 0 : 1;
}

int MarkMessages(TCliRun& run, bool read)
{
    TSelected selected = Select(run, 1);
    TStoreFolder* folder = selected.Items->Folders().Folder();
    const TStoreResult result = folder ? folder->MarkMessagesAsRead(read, 0, selected.Ids) : srNotFound;
    if (result != srOk)
        throw ECliError(StoreFailure(QStringLiteral("the messages could not be marked"), result));
    return 0;
}

int CopyOrMove(TCliRun& run, bool move)
{
    TSelected selected = Select(run, 2);
    TOEFolders& folders = selected.Items->Folders();
    const TStoreId target = ResolveFolder(folders, run.Arguments().at(1));
    // The folder model shows its own errors (on standard error here).
    return folders.CopyMoveTo(selected.Ids, target, move) ? 0 : 1;
}

int DeleteMessages(TCliRun& run)
{
    TSelected selected = Select(run, 1);
    TOEFolders& folders = selected.Items->Folders();
    const TStoreResult result = folders.Folder() ? folders.Folder()->DeleteMessages(selected.Ids, 0, &folders) : srNotFound;
    if (result != srOk)
        throw ECliError(StoreFailure(QStringLiteral("the messages could not be deleted"), result));
    return 0;
}

void AddSortOptions(QCommandLineParser& parser)
{
    parser.addOption({kSortOption,
                      QStringLiteral("Sort key: columns, subject, from, from-email, from-name, to, to-email, to-name, "
                                     "date, received (default subject)."),
                      QStringLiteral("KEY")});
    parser.addOption({kInvertOption, QStringLiteral("Reverse the order.")});
    parser.addOption({kColumnsOption,
                      QStringLiteral("For --sort columns: the columns in order, e.g. size,subject (subject, from-name, "
                                     "from-email, to-name, to-email, date, received, size, attachment, priority, "
                                     "flagged)."),
                      QStringLiteral("LIST")});
}

void AddListOptions(QCommandLineParser& parser)
{
    AddSortOptions(parser);
    parser.addOption({kJsonOption, QStringLiteral("Write JSON instead of text columns.")});
}

void AddCharsetOption(QCommandLineParser& parser)
{
    parser.addOption({kCharsetOption, QStringLiteral("Read the message in this charset instead of its own."),
                      QStringLiteral("NAME")});
}

} // namespace

void AddMessageCommands(std::vector<TCliCommand>& commands)
{
    commands.push_back({QStringLiteral("list"), QStringLiteral("List a folder's messages as the message list shows them."),
                        QStringLiteral("FOLDER"), AddListOptions, ListMessages});
    commands.push_back({QStringLiteral("show"), QStringLiteral("Show one message: its header and text."),
                        QStringLiteral("FOLDER ID"),
                        [](QCommandLineParser& parser) {
                            AddCharsetOption(parser);
                            parser.addOption({kRawOption, QStringLiteral("Also write the raw source.")});
                        },
                        ShowMessage});
    commands.push_back({QStringLiteral("save"), QStringLiteral("Save messages as .eml files (or as text)."),
                        QStringLiteral("FOLDER ID...|all"),
                        [](QCommandLineParser& parser) {
                            parser.addOption({kDirOption, QStringLiteral("The folder to save into (default: here)."),
                                              QStringLiteral("DIR")});
                            parser.addOption({kTextOption, QStringLiteral("Save the text form instead of the source.")});
                            AddCharsetOption(parser);
                        },
                        SaveMessages});
    commands.push_back({QStringLiteral("export"),
                        QStringLiteral("Export a folder to a mailbox (mbox) file, in the order of the list."),
                        QStringLiteral("FOLDER FILE"), AddSortOptions, ExportFolder});
    commands.push_back({QStringLiteral("import"),
                        QStringLiteral("Import mailbox files or .eml files into a folder as new unread messages."),
                        QStringLiteral("FOLDER FILE..."), nullptr, ImportFiles});
    commands.push_back({QStringLiteral("mark-read"), QStringLiteral("Mark messages read."),
                        QStringLiteral("FOLDER ID...|all"), nullptr, [](TCliRun& run) { return MarkMessages(run, true); }});
    commands.push_back({QStringLiteral("mark-unread"), QStringLiteral("Mark messages unread."),
                        QStringLiteral("FOLDER ID...|all"), nullptr, [](TCliRun& run) { return MarkMessages(run, false); }});
    commands.push_back({QStringLiteral("copy"), QStringLiteral("Copy messages to another folder."),
                        QStringLiteral("FOLDER TARGET ID...|all"), nullptr,
                        [](TCliRun& run) { return CopyOrMove(run, false); }});
    commands.push_back({QStringLiteral("move"), QStringLiteral("Move messages to another folder."),
                        QStringLiteral("FOLDER TARGET ID...|all"), nullptr,
                        [](TCliRun& run) { return CopyOrMove(run, true); }});
    commands.push_back({QStringLiteral("delete"),
                        QStringLiteral("Move messages to Deleted Items; inside Deleted Items, delete them for good."),
                        QStringLiteral("FOLDER ID...|all"), nullptr, DeleteMessages});
}
