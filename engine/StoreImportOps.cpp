// Messages brought in from other programs' files, and the record of where
// each came from.

#include "engine/StoreConnection.h"
#include "engine/StoreNamespace.h"

TStoreResult TStoreConnection::SaveImportedMessage(TStoreId folder, const TImportOrigin& origin,
                                                   const QByteArray& source, quint32 state,
                                                   const QDateTime& received, TStoreId* newId)
{
    return Run(TStoreOp::SaveMessage, true, [&] {
        TStoreId id = kNoStoreId;
        const TStoreResult result = InsertMessage(folder, source, state, received, &id);
        if (result != srOk)
            return result;
        // A record left by a message that has since been deleted for good
        // is replaced: the message is in the store again.
        FDb.Prepare("INSERT OR REPLACE INTO imports(origin, entry, message) VALUES (?, ?, ?)")
            .Bind(1, origin.File)
            .Bind(2, origin.Entry)
            .Bind(3, id)
            .Exec();
        if (newId)
            *newId = id;
        return srOk;
    });
}

TStoreResult TStoreConnection::FindImportedMessage(const TImportOrigin& origin, TStoreId* id)
{
    return Run(TStoreOp::GetMessageProperties, false, [&] {
        TSqlStatement select = FDb.Prepare(
            "SELECT m.id FROM imports i JOIN messages m ON m.id = i.message WHERE i.origin = ? AND i.entry = ?");
        select.Bind(1, origin.File).Bind(2, origin.Entry);
        if (!select.Step())
            return srNotFound;
        if (id)
            *id = static_cast<TStoreId>(select.Int(0));
        return srOk;
    });
}

TStoreResult TStoreNamespace::FindImportedMessage(const TImportOrigin& origin, TStoreId* id)
{
    return FConnection ? FConnection->FindImportedMessage(origin, id) : srFail;
}

TStoreResult TStoreFolder::SaveImportedMessage(const TImportOrigin& origin, const QByteArray& source, quint32 state,
                                               const QDateTime& received, TStoreId* newId)
{
    return FConnection->SaveImportedMessage(FId, origin, source, state, received, newId);
}
