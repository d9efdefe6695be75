// Subcommands that list and change folders, and copy, move and mark messages.

#include "cli/CliCommand.h"
#include "cli/FolderPaths.h"
#include "cli/TerminalText.h"

#include "settings/SystemCodePage.h"
#include "store/OEFolders.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kJsonOption = QStringLiteral("json");

void AddJsonOption(QCommandLineParser& parser)
{
    parser.addOption({kJsonOption, QStringLiteral("Write JSON instead of text columns.")});
}

QJsonObject FolderJson(TOEFolders& folders, const TFolderProps& props)
{
    return {
        {QStringLiteral("id"), static_cast<qint64>(props.Id)},
        {QStringLiteral("parent"), static_cast<qint64>(props.ParentId)},
        {QStringLiteral("name"), FolderNameText(props.Name)},
        {QStringLiteral("path"), FolderPath(folders, props.Id)},
        {QStringLiteral("special"), props.SpecialType},
        {QStringLiteral("unread"), props.UnreadCount},
        {QStringLiteral("total"), props.MessageCount},
    };
}

// Depth-first, children in store order.
void WalkFolders(TOEFolders& folders, TStoreId parent, int depth,
                 const std::function<void(const TFolderProps&, int depth)>& visit)
{
    folders.ForEachChild(parent, [&](const TFolderProps& child) {
        visit(child, depth);
        WalkFolders(folders, child.Id, depth + 1, visit);
        return true;
    });
}

int ListFolders(TCliRun& run)
{
    run.ExpectArguments(0);
    TOEFolders& folders = run.Folders();
    if (run.Parser.isSet(kJsonOption)) {
        QJsonArray array;
        WalkFolders(folders, kRootFolderId, 0, [&](const TFolderProps& props, int) {
            array.append(FolderJson(folders, props));
        });
        run.Out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    run.Out << QStringLiteral("%1 %2 %3  %4\n").arg(QStringLiteral("ID"), 6).arg(QStringLiteral("UNREAD"), 7)
                   .arg(QStringLiteral("TOTAL"), 7).arg(QStringLiteral("FOLDER"));
    WalkFolders(folders, kRootFolderId, 0, [&](const TFolderProps& props, int depth) {
        run.Out << QStringLiteral("%1 %2 %3  %4%5\n")
                       .arg(props.Id, 6)
                       .arg(props.UnreadCount, 7)
                       .arg(props.MessageCount, 7)
                       .arg(QString(depth * 2, QLatin1Char(' ')), TerminalText(FolderNameText(props.Name)));
    });
    return 0;
}

// "U+000A" for a character.
QString CodePoint(char32_t c)
{
    return QStringLiteral("U+") + QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// The characters of the text that the system code page cannot hold, as
// "亜 (U+4E9C)", each once.
QStringList Unwritable(const QString& text)
{
    QStringList found;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const QString entry = character + QStringLiteral(" (") + CodePoint(c) + QLatin1Char(')');
        if (FolderNameText(FolderNameBytes(character)) != character && !found.contains(entry))
            found << entry;
    }
    return found;
}

QByteArray CheckedName(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].unicode() < 0x20 || text[i].unicode() == 0x7F)
            throw ECliError(QStringLiteral("a folder name cannot hold a control character (%1 at position %2)")
                                .arg(CodePoint(text[i].unicode()))
                                .arg(i + 1));
    const QByteArray name = FolderNameBytes(text);
    if (name.isEmpty() || name.size() > kMaxFolderNameBytes)
        throw ECliError(QStringLiteral("a folder name must have 1 to %1 bytes").arg(kMaxFolderNameBytes));
    if (const QStringList unwritable = Unwritable(text); !unwritable.isEmpty())
        throw ECliError(QStringLiteral("the folder name \"%1\" cannot be written in the system code page %2: %3")
                            .arg(text, QString::number(SystemCodePage()), unwritable.join(QStringLiteral(", "))));
    return name;
}

// Raises ECliError "what: the store's reason" unless the store succeeded.
void Check(TStoreResult result, const QString& what)
{
    if (result != srOk)
        throw ECliError(StoreFailure(what, result));
}

int CreateFolder(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(2);
    TOEFolders& folders = run.Folders();
    const TStoreId parent = ResolveFolder(folders, args[0]);
    TStoreId id = kNoStoreId;
    Check(folders.Namespace().CreateFolder(parent, CheckedName(args[1]), 0, &id),
          QStringLiteral("cannot create the folder \"%1\"").arg(args[1]));
    run.Out << QStringLiteral("created #%1 %2\n").arg(id).arg(TerminalText(FolderPath(folders, id)));
    return 0;
}

int RenameFolder(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(2);
    TOEFolders& folders = run.Folders();
    const TStoreId id = ResolveFolder(folders, args[0]);
    Check(folders.Namespace().RenameFolder(id, 0, CheckedName(args[1])),
          QStringLiteral("cannot rename \"%1\" (the root and the special folders keep their names)").arg(args[0]));
    return 0;
}

int MoveFolder(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(2);
    TOEFolders& folders = run.Folders();
    const TStoreId id = ResolveFolder(folders, args[0]);
    const TStoreId parent = ResolveFolder(folders, args[1]);
    const QString what = QStringLiteral("cannot move \"%1\" into \"%2\"").arg(args[0], args[1]);
    if (!folders.CanMoveFolder(id, parent))
        throw ECliError(StoreFailure(what, srNotPermitted));
    Check(folders.Namespace().MoveFolder(id, parent, 0), what);
    return 0;
}

int DeleteFolder(TCliRun& run)
{
    const QStringList args = run.ExpectArguments(1);
    TOEFolders& folders = run.Folders();
    const TStoreId id = ResolveFolder(folders, args[0]);
    const bool final = folders.IsInDeletedItems(id);
    Check(folders.Namespace().DeleteFolder(id, 0),
          QStringLiteral("cannot delete \"%1\" (the root and the special folders stay)").arg(args[0]));
    run.Out << (final ? QStringLiteral("deleted %1\n") : QStringLiteral("moved %1 to Deleted Items\n")).arg(args[0]);
    return 0;
}

int Compact(TCliRun& run)
{
    if (run.Arguments().size() > 1)
        throw EUsageError(QStringLiteral("compact takes at most one folder"));
    TOEFolders& folders = run.Folders();
    if (run.Arguments().isEmpty()) {
        Check(folders.Namespace().CompactAll(0), QStringLiteral("compaction failed"));
        return 0;
    }
    folders.SetFolderId(ResolveFolder(folders, run.Arguments().front()));
    Check(folders.Folder() ? folders.Folder()->Compact(0) : srNotFound, QStringLiteral("compaction failed"));
    return 0;
}

} // namespace

void AddFolderCommands(std::vector<TCliCommand>& commands)
{
    commands.push_back({QStringLiteral("folders"), QStringLiteral("List the folder tree with ids and message counts."),
                        QString(), AddJsonOption, ListFolders});
    commands.push_back({QStringLiteral("create-folder"), QStringLiteral("Create a folder below PARENT."),
                        QStringLiteral("PARENT NAME"), nullptr, CreateFolder});
    commands.push_back({QStringLiteral("rename-folder"), QStringLiteral("Rename a folder."),
                        QStringLiteral("FOLDER NAME"), nullptr, RenameFolder});
    commands.push_back({QStringLiteral("move-folder"), QStringLiteral("Move a folder below another one."),
                        QStringLiteral("FOLDER NEW-PARENT"), nullptr, MoveFolder});
    commands.push_back({QStringLiteral("delete-folder"),
                        QStringLiteral("Move a folder to Deleted Items; inside Deleted Items, delete it for good."),
                        QStringLiteral("FOLDER"), nullptr, DeleteFolder});
    commands.push_back({QStringLiteral("compact"), QStringLiteral("Reclaim the space of deleted messages."),
                        QStringLiteral("[FOLDER]"), nullptr, Compact});
}
