// Folder operations of the store connection.

#include "engine/StoreConnection.h"

#include <QScopeGuard>

#include <algorithm>

namespace {

// Control characters are refused: a name is shown in trees, lists and
// terminals, where a line break or an escape would forge what is shown.
bool ValidFolderName(const QByteArray& name)
{
    return !name.isEmpty() && name.size() <= kMaxFolderNameBytes &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Ids of a folder and every folder below it, the folder itself first.
const char* const kSubtreeSql =
    "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
    "  SELECT f.id FROM folders f JOIN tree t ON f.parent = t.id) "
    "SELECT id FROM tree";

// Ids of a folder and all its ancestors up to the root.
const char* const kAncestorsSql =
    "WITH RECURSIVE up(id) AS (SELECT ?1 UNION ALL "
    "  SELECT f.parent FROM folders f JOIN up u ON f.id = u.id WHERE f.parent >= 0) "
    "SELECT id FROM up";

std::vector<TStoreId> Collect(TSqlDatabase& db, const char* sql, TStoreId id)
{
    TSqlStatement select = db.Prepare(sql);
    select.Bind(1, id);
    std::vector<TStoreId> ids;
    while (select.Step())
        ids.push_back(static_cast<TStoreId>(select.Int(0)));
    return ids;
}

bool Exists(TSqlDatabase& db, TStoreId id)
{
    TSqlStatement select = db.Prepare("SELECT 1 FROM folders WHERE id = ?");
    select.Bind(1, id);
    return select.Step();
}

int SpecialTypeOf(TSqlDatabase& db, TStoreId id)
{
    TSqlStatement select = db.Prepare("SELECT special FROM folders WHERE id = ?");
    select.Bind(1, id);
    return select.Step() ? static_cast<int>(select.Int(0)) : sfNotSpecial;
}

TStoreId DeletedItemsId(TSqlDatabase& db)
{
    TSqlStatement select = db.Prepare("SELECT id FROM folders WHERE parent = 0 AND special = 3 ORDER BY id LIMIT 1");
    return select.Step() ? static_cast<TStoreId>(select.Int(0)) : kNoStoreId;
}

// True when the folder is Deleted Items or lies below it: deletions there are final.
bool InDeletedItems(TSqlDatabase& db, TStoreId id)
{
    const TStoreId deleted = DeletedItemsId(db);
    for (TStoreId ancestor : Collect(db, kAncestorsSql, id)) {
        if (ancestor == deleted)
            return true;
    }
    return false;
}

// A root, a special folder or an unknown folder cannot be renamed, moved or deleted.
TStoreResult CheckUserFolder(TSqlDatabase& db, TStoreId id)
{
    if (id == kRootFolderId || id == kNoStoreId)
        return srNotPermitted;
    if (!Exists(db, id))
        return srNotFound;
    return SpecialTypeOf(db, id) == sfNotSpecial ? srOk : srNotPermitted;
}

TStoreId CheckedId(qint64 rowId)
{
    if (rowId < 0 || rowId >= static_cast<qint64>(kNoStoreId))
        throw TSqlError{1, "store ids exhausted"};
    return static_cast<TStoreId>(rowId);
}

} // namespace

TStoreResult TStoreConnection::ReadFolderProps(TStoreId id, TFolderProps& props)
{
    TSqlStatement select = FDb.Prepare(
        "SELECT parent, name, special,"
        " (SELECT count(*) FROM folders c WHERE c.parent = f.id), unread, total"
        " FROM folders f WHERE id = ?");
    select.Bind(1, id);
    if (id == kNoStoreId || !select.Step())
        return srNotFound;
    props.Id = id;
    props.ParentId = select.Int(0) < 0 ? kNoStoreId : static_cast<TStoreId>(select.Int(0));
    props.Name = select.Blob(1);
    props.SpecialType = static_cast<int>(select.Int(2));
    props.SubFolderCount = static_cast<int>(select.Int(3));
    props.UnreadCount = static_cast<int>(select.Int(4));
    props.MessageCount = static_cast<int>(select.Int(5));
    return srOk;
}

TStoreResult TStoreConnection::FolderProps(TStoreId id, TFolderProps& props)
{
    return Run(TStoreOp::GetFolderProperties, false, [&] { return ReadFolderProps(id, props); });
}

TStoreResult TStoreConnection::SubFolders(TStoreId parent, std::vector<TFolderProps>& children)
{
    return Run(TStoreOp::EnumFolders, false, [&] {
        if (!Exists(FDb, parent))
            return srNotFound;
        std::vector<TStoreId> ids;
        {
            TSqlStatement select = FDb.Prepare("SELECT id FROM folders WHERE parent = ? ORDER BY id");
            select.Bind(1, parent);
            while (select.Step())
                ids.push_back(static_cast<TStoreId>(select.Int(0)));
        }
        children.clear();
        for (TStoreId id : ids) {
            TFolderProps props;
            const TStoreResult result = ReadFolderProps(id, props);
            if (result != srOk)
                return result;
            children.push_back(props);
        }
        return srOk;
    });
}

TStoreResult TStoreConnection::CreateFolder(TStoreId parent, const QByteArray& name, TStoreId* newId)
{
    return Run(TStoreOp::CreateFolder, true, [&] {
        if (!ValidFolderName(name))
            return srInvalidArgument;
        if (parent == kNoStoreId || !Exists(FDb, parent))
            return srNotFound;
        FDb.Prepare("INSERT INTO folders(parent, name) VALUES (?, ?)").Bind(1, parent).Bind(2, name).Exec();
        const TStoreId id = CheckedId(FDb.LastInsertId());
        if (newId)
            *newId = id;
        NotifyFolderChange(fnNewFolder, id);
        return srOk;
    });
}

TStoreResult TStoreConnection::RenameFolder(TStoreId id, const QByteArray& name)
{
    return Run(TStoreOp::RenameFolder, true, [&] {
        if (!ValidFolderName(name))
            return srInvalidArgument;
        if (const TStoreResult check = CheckUserFolder(FDb, id); check != srOk)
            return check;
        FDb.Prepare("UPDATE folders SET name = ? WHERE id = ?").Bind(1, name).Bind(2, id).Exec();
        NotifyFolderChange(fnRenamed, id);
        return srOk;
    });
}

TStoreResult TStoreConnection::MoveFolder(TStoreId id, TStoreId newParent)
{
    return Run(TStoreOp::MoveFolder, true, [&] {
        if (const TStoreResult check = CheckUserFolder(FDb, id); check != srOk)
            return check;
        if (newParent == kNoStoreId || !Exists(FDb, newParent))
            return srNotFound;
        for (TStoreId below : Collect(FDb, kSubtreeSql, id)) {
            if (below == newParent)
                return srNotPermitted;
        }
        FDb.Prepare("UPDATE folders SET parent = ? WHERE id = ?").Bind(1, newParent).Bind(2, id).Exec();
        NotifyFolderChange(fnMoved, id);
        return srOk;
    });
}

TStoreResult TStoreConnection::DeleteFolder(TStoreId id)
{
    return Run(TStoreOp::DeleteFolder, true, [&] {
        if (const TStoreResult check = CheckUserFolder(FDb, id); check != srOk)
            return check;
        if (!InDeletedItems(FDb, id)) {
            // Outside Deleted Items a deletion only moves the folder there.
            FDb.Prepare("UPDATE folders SET parent = ? WHERE id = ?").Bind(1, DeletedItemsId(FDb)).Bind(2, id).Exec();
            NotifyFolderChange(fnMoved, id);
            return srOk;
        }
        const std::vector<TStoreId> subtree = Collect(FDb, kSubtreeSql, id);
        // Deepest folders first, so that no notification names a folder whose
        // parent is already gone.
        for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
            FDb.Prepare("DELETE FROM messages WHERE folder = ?").Bind(1, *it).Exec();
            FDb.Prepare("DELETE FROM folders WHERE id = ?").Bind(1, *it).Exec();
            NotifyFolderChange(fnFolderDeleted, *it);
            Notify(std::make_unique<TStoreEvent>(seFolderDeleted, *it));
        }
        return srOk;
    });
}

TStoreResult TStoreConnection::CompactAll(const TStoreKeepGoing& keepGoing)
{
    return Compact("VACUUM", keepGoing);
}

TStoreResult TStoreConnection::CompactIncremental(const TStoreKeepGoing& keepGoing)
{
    return Compact("PRAGMA incremental_vacuum", keepGoing);
}

TStoreResult TStoreConnection::Compact(const char* sql, const TStoreKeepGoing& keepGoing)
{
    return Run(TStoreOp::Compact, false, [&] {
        DropOrphanListFields();
        // A stop asked for during the compaction leaves the store as it was.
        FDb.SetKeepGoing(keepGoing);
        const auto clear = qScopeGuard([this] { FDb.SetKeepGoing({}); });
        FDb.Execute(sql);
        FDb.SetKeepGoing({});
        FDb.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
        return srOk;
    });
}
