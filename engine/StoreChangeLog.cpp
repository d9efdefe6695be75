#include "engine/StoreChangeLog.h"

#include "engine/SqlDatabase.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>

namespace {

constexpr quint8 kFormat = 1;
// How long a change stays readable for a process that has not caught up.
constexpr qint64 kKeepSeconds = 3600;
// Rows trimmed at most per write: the log never grows beyond what an hour
// of writes adds, and no write pays for a long trim.
constexpr int kTrimBatch = 16;

bool KnownType(qint32 type)
{
    return type == seFolderChanged || (type >= seNewMessage && type <= seMarkedUnread);
}

} // namespace

QByteArray TStoreChangeLog::Encode(const TStoreEvents& events)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kFormat << static_cast<quint32>(events.size());
    for (const auto& event : events) {
        out << static_cast<qint32>(event->StoreType()) << event->FolderId << static_cast<qint32>(event->NotifyType)
            << event->OldId << event->NewId << static_cast<quint32>(event->Ids.size());
        for (TStoreId id : event->Ids)
            out << id;
    }
    // A batch of new messages has ids that follow each other: they shrink well.
    return qCompress(bytes);
}

bool TStoreChangeLog::Decode(const QByteArray& bytes, TStoreEvents& events)
{
    const QByteArray plain = qUncompress(bytes);
    QDataStream in(plain);
    in.setVersion(QDataStream::Qt_6_0);
    quint8 format = 0;
    quint32 count = 0;
    in >> format >> count;
    // Each event takes at least 24 bytes, which bounds what a damaged count may ask for.
    if (in.status() != QDataStream::Ok || format != kFormat || count > plain.size() / 24)
        return false;
    TStoreEvents read;
    for (quint32 i = 0; i < count; ++i) {
        qint32 type = 0;
        TStoreId folder = kNoStoreId;
        qint32 notifyType = 0;
        quint32 idCount = 0;
        in >> type >> folder;
        if (!KnownType(type))
            return false;
        auto event = std::make_unique<TStoreEvent>(static_cast<TStoreEventType>(type), folder);
        in >> notifyType >> event->OldId >> event->NewId >> idCount;
        if (in.status() != QDataStream::Ok || idCount > (plain.size() - in.device()->pos()) / 4)
            return false;
        event->NotifyType = notifyType;
        event->Ids.resize(static_cast<qsizetype>(idCount));
        for (TStoreId& id : event->Ids)
            in >> id;
        read.push_back(std::move(event));
    }
    if (in.status() != QDataStream::Ok)
        return false;
    for (auto& event : read)
        events.push_back(std::move(event));
    return true;
}

void TStoreChangeLog::Append(TSqlDatabase& db, const TStoreEvents& events)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    db.Prepare("INSERT INTO changes(at, events) VALUES (?, ?)").Bind(1, now).Bind(2, Encode(events)).Exec();
    db.Prepare("DELETE FROM changes WHERE seq IN (SELECT seq FROM changes ORDER BY seq LIMIT ?) AND at < ?")
        .Bind(1, kTrimBatch)
        .Bind(2, now - kKeepSeconds)
        .Exec();
}

qint64 TStoreChangeLog::LastSequence(TSqlDatabase& db)
{
    return db.QueryInt("SELECT coalesce(max(seq), 0) FROM changes");
}
