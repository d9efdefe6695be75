#include "cli/FolderPaths.h"

#include "cli/CliCommand.h"

#include "settings/SystemCodePage.h"
#include "store/OEFolder.h"

namespace {

TStoreId ChildNamed(TOEFolder& folders, TStoreId parent, const QString& name)
{
    TStoreId exact = kNoStoreId;
    QList<TStoreId> caseless;
    folders.ForEachChild(parent, [&](const TFolderProps& child) {
        const QString text = FolderNameText(child.Name);
        if (text == name)
            exact = child.Id;
        else if (text.compare(name, Qt::CaseInsensitive) == 0)
            caseless.push_back(child.Id);
        return exact == kNoStoreId;
    });
    if (exact != kNoStoreId)
        return exact;
    return caseless.size() == 1 ? caseless.front() : kNoStoreId;
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

TStoreId ResolveFolder(TOEFolder& folders, const QString& spec)
{
    if (spec.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const TStoreId id = spec.mid(1).toUInt(&ok);
        if (!ok || !folders.FolderExists(id))
            throw ECliError(QStringLiteral("no folder with id %1").arg(spec.mid(1)));
        return id;
    }
    TStoreId id = kRootFolderId;
    for (const QString& name : spec.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        id = ChildNamed(folders, id, name);
        if (id == kNoStoreId)
            throw ECliError(QStringLiteral("no folder \"%1\"").arg(spec));
    }
    return id;
}

QString FolderPath(TOEFolder& folders, TStoreId id)
{
    QStringList names;
    TFolderProps props;
    for (TStoreId current = id; current != kRootFolderId && folders.GetFolderInfo(current, props) == srOk;
         current = props.ParentId)
        names.prepend(FolderNameText(props.Name));
    return names.isEmpty() ? QStringLiteral("/") : names.join(QLatin1Char('/'));
}
