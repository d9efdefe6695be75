#include "cli/FolderPaths.h"

#include "cli/CliCommand.h"

#include "settings/SystemCodePage.h"
#include "store/OEFolder.h"

namespace {

constexpr QChar kSeparator = QLatin1Char('/');
constexpr QChar kEscape = QLatin1Char('\\');
constexpr QChar kIdMark = QLatin1Char('#');

// The children of `parent` named `name`: the exact matches, else those
// that match ignoring case.
QList<TStoreId> ChildrenNamed(TOEFolder& folders, TStoreId parent, const QString& name)
{
    QList<TStoreId> exact;
    QList<TStoreId> caseless;
    folders.ForEachChild(parent, [&](const TFolderProps& child) {
        const QString text = FolderNameText(child.Name);
        if (text == name)
            exact.push_back(child.Id);
        else if (text.compare(name, Qt::CaseInsensitive) == 0)
            caseless.push_back(child.Id);
        return true;
    });
    return exact.isEmpty() ? caseless : exact;
}

QString IdList(const QList<TStoreId>& ids)
{
    QStringList texts;
    for (TStoreId id : ids)
        texts << QStringLiteral("#%1").arg(id);
    return texts.join(QStringLiteral(", "));
}

} // namespace

QString FolderNameText(const QByteArray& name)
{
    return DecodeSystemText(name);
}

QByteArray FolderNameBytes(const QString& name)
{
    return EncodeSystemText(name);
}

QStringList SplitFolderPath(const QString& path)
{
    QStringList names;
    QString name;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == kEscape && i + 1 < path.size()) {
            name += path[++i];
        } else if (path[i] == kSeparator) {
            if (!name.isEmpty())
                names << name;
            name.clear();
        } else {
            name += path[i];
        }
    }
    if (!name.isEmpty())
        names << name;
    return names;
}

QString EscapeFolderName(const QString& name)
{
    QString escaped;
    // A path that begins with "#" names a folder by its id: the folder
    // "#1" at the top must not be printed as the Inbox's id.
    if (name.startsWith(kIdMark))
        escaped += kEscape;
    for (const QChar c : name) {
        if (c == kSeparator || c == kEscape)
            escaped += kEscape;
        escaped += c;
    }
    return escaped;
}

TStoreId ResolveFolder(TOEFolder& folders, const QString& spec)
{
    if (spec.startsWith(kIdMark)) {
        bool ok = false;
        const TStoreId id = spec.mid(1).toUInt(&ok);
        if (!ok || !folders.FolderExists(id))
            throw ECliError(QStringLiteral("no folder with id %1").arg(spec.mid(1)));
        return id;
    }
    QList<TStoreId> matches{kRootFolderId};
    for (const QString& name : SplitFolderPath(spec)) {
        QList<TStoreId> next;
        for (TStoreId parent : matches)
            next += ChildrenNamed(folders, parent, name);
        if (next.isEmpty())
            throw ECliError(QStringLiteral("no folder \"%1\"").arg(spec));
        matches = next;
    }
    if (matches.size() > 1)
        throw ECliError(QStringLiteral("the folder path \"%1\" is ambiguous: %2; use #ID").arg(spec, IdList(matches)));
    return matches.front();
}

QString FolderPath(TOEFolder& folders, TStoreId id)
{
    QStringList names;
    TFolderProps props;
    for (TStoreId current = id; current != kRootFolderId && folders.GetFolderInfo(current, props) == srOk;
         current = props.ParentId)
        names.prepend(EscapeFolderName(FolderNameText(props.Name)));
    return names.isEmpty() ? QStringLiteral("/") : names.join(kSeparator);
}
