// Message operations of the store connection.

#include "engine/StoreConnection.h"
#include "engine/ReceivedDate.h"

#include <QSet>

namespace {

TMessageProps PropsFromRow(const TSqlStatement& row, TStoreId folder)
{
    TMessageProps props;
    props.Id = static_cast<TStoreId>(row.Int(0));
    props.FolderId = folder;
    props.State = static_cast<quint32>(row.Int(1));
    props.Size = static_cast<quint32>(row.Int(2));
    props.Received = QDateTime::fromSecsSinceEpoch(row.Int(3), Qt::UTC);
    return props;
}

bool FolderExists(TSqlDatabase& db, TStoreId id)
{
    TSqlStatement select = db.Prepare("SELECT 1 FROM folders WHERE id = ?");
    select.Bind(1, id);
    return id != kNoStoreId && select.Step();
}

TMessageIdList WithoutDuplicates(const TMessageIdList& ids)
{
    TMessageIdList unique;
    QSet<TStoreId> seen;
    for (TStoreId id : ids) {
        if (!seen.contains(id)) {
            seen.insert(id);
            unique.push_back(id);
        }
    }
    return unique;
}

// The sink hears of an operation's progress only once it has committed:
// called from inside the transaction, a sink that calls the store (a
// progress dialog lets other windows run) would find it busy.
void ReportProgress(IStoreProgress* sink, quint32 total)
{
    if (!sink)
        return;
    for (quint32 done = 1; done <= total; ++done)
        sink->NotifyProgress(done, total);
}

} // namespace

void TStoreConnection::NotifyCountChanges(TStoreId folder, bool unreadChanged, bool totalChanged)
{
    if (unreadChanged)
        NotifyFolderChange(fnUnreadChanged, folder);
    if (totalChanged)
        NotifyFolderChange(fnPropsChanged, folder);
}

int TStoreConnection::UnreadAmong(TStoreId folder, const TMessageIdList& ids)
{
    int unread = 0;
    for (TStoreId id : ids) {
        TSqlStatement select = FDb.Prepare("SELECT state FROM messages WHERE id = ? AND folder = ?");
        select.Bind(1, id).Bind(2, folder);
        if (!select.Step())
            return -1;
        unread += (select.Int(0) & kMsgUnread) ? 1 : 0;
    }
    return unread;
}

TStoreResult TStoreConnection::Messages(TStoreId folder, std::vector<TMessageProps>& messages)
{
    return Run(TStoreOp::EnumMessages, false, [&] {
        if (!FolderExists(FDb, folder))
            return srNotFound;
        TSqlStatement select = FDb.Prepare(
            "SELECT id, state, size, received FROM messages WHERE folder = ? ORDER BY id");
        select.Bind(1, folder);
        messages.clear();
        while (select.Step())
            messages.push_back(PropsFromRow(select, folder));
        return srOk;
    });
}

TStoreResult TStoreConnection::MessageProps(TStoreId folder, TStoreId id, TMessageProps& props)
{
    return Run(TStoreOp::GetMessageProperties, false, [&] {
        TSqlStatement select = FDb.Prepare(
            "SELECT id, state, size, received FROM messages WHERE id = ? AND folder = ?");
        select.Bind(1, id).Bind(2, folder);
        if (!select.Step())
            return srNotFound;
        props = PropsFromRow(select, folder);
        return srOk;
    });
}

TStoreResult TStoreConnection::MessageSource(TStoreId folder, TStoreId id, QByteArray& source)
{
    return Run(TStoreOp::OpenMessage, false, [&] {
        TSqlStatement select = FDb.Prepare("SELECT source FROM messages WHERE id = ? AND folder = ?");
        select.Bind(1, id).Bind(2, folder);
        if (!select.Step())
            return srNotFound;
        source = select.Blob(0);
        return srOk;
    });
}

TStoreResult TStoreConnection::SaveMessage(TStoreId folder, const QByteArray& source, quint32 state,
                                           TStoreId* newId)
{
    return Run(TStoreOp::SaveMessage, true, [&] { return InsertMessage(folder, source, state, QDateTime(), newId); });
}

TStoreResult TStoreConnection::SaveMessages(TStoreId folder, const std::vector<QByteArray>& sources, quint32 state,
                                            TMessageIdList* newIds)
{
    TMessageIdList ids;
    const TStoreResult result = Run(TStoreOp::SaveMessage, true, [&] {
        for (const QByteArray& source : sources) {
            TStoreId id = kNoStoreId;
            if (const TStoreResult saved = InsertMessage(folder, source, state, QDateTime(), &id); saved != srOk)
                return saved;
            ids.push_back(id);
        }
        return srOk;
    });
    if (result == srOk && newIds)
        *newIds = ids;
    return result;
}

TStoreResult TStoreConnection::InsertMessage(TStoreId folder, const QByteArray& source, quint32 state,
                                             QDateTime received, TStoreId* newId)
{
    if (!FolderExists(FDb, folder) || folder == kRootFolderId)
        return srNotFound;
    if (!received.isValid())
        received = ReceivedDateOf(source);
    if (!received.isValid())
        received = QDateTime::currentDateTimeUtc();
    FDb.Prepare("INSERT INTO messages(folder, state, size, received, source) VALUES (?, ?, ?, ?, ?)")
        .Bind(1, folder)
        .Bind(2, state)
        .Bind(3, source.size())
        .Bind(4, received.toSecsSinceEpoch())
        .Bind(5, source)
        .Exec();
    const TStoreId id = static_cast<TStoreId>(FDb.LastInsertId());
    if (FDb.LastInsertId() >= static_cast<qint64>(kNoStoreId))
        return srFail;
    if (newId)
        *newId = id;
    auto event = std::make_unique<TStoreEvent>(seNewMessage, folder);
    event->Ids = {id};
    Notify(std::move(event));
    NotifyCountChanges(folder, (state & kMsgUnread) != 0, true);
    return srOk;
}

TStoreResult TStoreConnection::ReadListing(TStoreId folder, TStoreId afterId, int limit, const QByteArray& fieldsKey,
                                           std::vector<TMessageListing>& rows)
{
    return Run(TStoreOp::ReadListing, false, [&] {
        if (!FolderExists(FDb, folder))
            return srNotFound;
        qint64 key = -1;
        {
            TSqlStatement select = FDb.Prepare("SELECT id FROM listkeys WHERE key = ?");
            select.Bind(1, fieldsKey);
            if (select.Step())
                key = select.Int(0);
        }
        // The index on the folder covers everything but the source, which
        // is read only for the messages without fields.
        TSqlStatement select = FDb.Prepare(
            "SELECT m.id, m.state, m.size, m.received, f.record, CASE WHEN f.record IS NULL THEN m.source END"
            " FROM messages m LEFT JOIN listfields f ON f.id = m.id AND f.key = ?1"
            " WHERE m.folder = ?2 AND m.id > ?3 ORDER BY m.id LIMIT ?4");
        select.Bind(1, key).Bind(2, folder).Bind(3, afterId).Bind(4, limit);
        rows.clear();
        while (select.Step()) {
            TMessageListing& row = rows.emplace_back();
            row.Props = PropsFromRow(select, folder);
            row.Fields = select.Blob(4);
            row.Source = select.Blob(5);
        }
        return srOk;
    });
}

TStoreResult TStoreConnection::WriteListFields(const QByteArray& fieldsKey, const std::vector<TListFieldsRecord>& records)
{
    return Run(TStoreOp::WriteListFields, true, [&] {
        FDb.Prepare("INSERT OR IGNORE INTO listkeys(key) VALUES (?)").Bind(1, fieldsKey).Exec();
        TSqlStatement select = FDb.Prepare("SELECT id FROM listkeys WHERE key = ?");
        select.Bind(1, fieldsKey);
        if (!select.Step())
            return srFail;
        const qint64 key = select.Int(0);
        for (const TListFieldsRecord& record : records) {
            FDb.Prepare("INSERT OR REPLACE INTO listfields(id, key, record)"
                        " SELECT ?1, ?2, ?3 WHERE EXISTS (SELECT 1 FROM messages WHERE id = ?1)")
                .Bind(1, record.Id)
                .Bind(2, key)
                .Bind(3, record.Fields)
                .Exec();
        }
        return srOk;
    });
}

void TStoreConnection::DropOrphanListFields()
{
    FDb.Execute("DELETE FROM listfields WHERE id NOT IN (SELECT id FROM messages);"
                "DELETE FROM listkeys WHERE id NOT IN (SELECT key FROM listfields)");
}

TStoreResult TStoreConnection::CopyMoveMessages(TStoreId source, TStoreId target, const TMessageIdList& ids,
                                                bool move, IStoreProgress* sink)
{
    quint32 total = 0;
    const TStoreResult result = Run(TStoreOp::CopyMoveMessages, true, [&] {
        if (!FolderExists(FDb, source) || !FolderExists(FDb, target) || target == kRootFolderId)
            return srNotFound;
        const TMessageIdList unique = WithoutDuplicates(ids);
        const int unread = UnreadAmong(source, unique);
        if (unread < 0)
            return srNotFound;
        total = static_cast<quint32>(unique.size());
        if (move && source == target)
            return srOk;
        for (TStoreId id : unique) {
            TStoreId newId = id;
            if (move) {
                FDb.Prepare("UPDATE messages SET folder = ? WHERE id = ?").Bind(1, target).Bind(2, id).Exec();
            } else {
                FDb.Prepare("INSERT INTO messages(folder, state, size, received, source)"
                            " SELECT ?, state, size, received, source FROM messages WHERE id = ?")
                    .Bind(1, target)
                    .Bind(2, id)
                    .Exec();
                if (FDb.LastInsertId() >= static_cast<qint64>(kNoStoreId))
                    return srFail;
                newId = static_cast<TStoreId>(FDb.LastInsertId());
                // The copy has the same source: its list fields come along.
                FDb.Prepare("INSERT INTO listfields(id, key, record) SELECT ?, key, record FROM listfields WHERE id = ?")
                    .Bind(1, newId)
                    .Bind(2, id)
                    .Exec();
            }
            auto event = std::make_unique<TStoreEvent>(seNewMessage, target);
            event->Ids = {newId};
            Notify(std::move(event));
        }
        if (move && !unique.isEmpty()) {
            auto event = std::make_unique<TStoreEvent>(seMessagesDeleted, source);
            event->Ids = unique;
            Notify(std::move(event));
        }
        if (move)
            NotifyCountChanges(source, unread > 0, !unique.isEmpty());
        NotifyCountChanges(target, unread > 0, !unique.isEmpty());
        return srOk;
    });
    if (result == srOk)
        ReportProgress(sink, total);
    return result;
}

TStoreResult TStoreConnection::DeleteMessages(TStoreId folder, const TMessageIdList& ids, IStoreProgress* sink)
{
    // Outside Deleted Items a deletion is a move into it, as users expect.
    TStoreId deletedItems = kNoStoreId;
    bool final = false;
    TStoreResult result = Run(TStoreOp::DeleteMessages, false, [&] {
        TSqlStatement select = FDb.Prepare(
            "WITH RECURSIVE up(id) AS (SELECT ?1 UNION ALL"
            "  SELECT f.parent FROM folders f JOIN up u ON f.id = u.id WHERE f.parent >= 0)"
            " SELECT d.id, d.id IN (SELECT id FROM up) FROM folders d"
            " WHERE d.parent = 0 AND d.special = 3 ORDER BY d.id LIMIT 1");
        select.Bind(1, folder);
        if (!select.Step())
            return srNotFound;
        deletedItems = static_cast<TStoreId>(select.Int(0));
        final = select.Int(1) != 0;
        return srOk;
    });
    if (result != srOk)
        return result;
    if (!final)
        return CopyMoveMessages(folder, deletedItems, ids, true, sink);
    quint32 total = 0;
    result = Run(TStoreOp::DeleteMessages, true, [&] {
        const TMessageIdList unique = WithoutDuplicates(ids);
        const int unread = FolderExists(FDb, folder) ? UnreadAmong(folder, unique) : -1;
        if (unread < 0)
            return srNotFound;
        for (TStoreId id : unique)
            FDb.Prepare("DELETE FROM messages WHERE id = ?").Bind(1, id).Exec();
        total = static_cast<quint32>(unique.size());
        auto event = std::make_unique<TStoreEvent>(seMessagesDeleted, folder);
        event->Ids = unique;
        Notify(std::move(event));
        NotifyCountChanges(folder, unread > 0, !unique.isEmpty());
        return srOk;
    });
    if (result == srOk)
        ReportProgress(sink, total);
    return result;
}

TStoreResult TStoreConnection::MarkMessages(TStoreId folder, const TMessageIdList& ids, bool read)
{
    return Run(TStoreOp::MarkMessages, true, [&] {
        const TMessageIdList unique = WithoutDuplicates(ids);
        if (!FolderExists(FDb, folder) || UnreadAmong(folder, unique) < 0)
            return srNotFound;
        TMessageIdList changed;
        for (TStoreId id : unique) {
            TSqlStatement update = FDb.Prepare(
                read ? "UPDATE messages SET state = state & ~2 WHERE id = ? AND (state & 2) != 0"
                     : "UPDATE messages SET state = state | 2 WHERE id = ? AND (state & 2) = 0");
            update.Bind(1, id).Exec();
            if (FDb.Changes() > 0)
                changed.push_back(id);
        }
        if (!changed.isEmpty()) {
            auto event = std::make_unique<TStoreEvent>(read ? seMarkedRead : seMarkedUnread, folder);
            event->Ids = changed;
            Notify(std::move(event));
        }
        NotifyCountChanges(folder, !changed.isEmpty(), false);
        return srOk;
    });
}
