// Messages brought in from other programs' files, and the record of where
// each came from.

#include "engine/StoreConnection.h"
#include "engine/StoreNamespace.h"

TStoreResult TStoreConnection::SaveImportedMessages(TStoreId folder, const std::vector<TImportedMessage>& messages,
                                                    TMessageIdList* newIds)
{
    TMessageIdList ids;
    const TStoreResult result = Run(TStoreOp::SaveMessage, true, [&] {
        for (const TImportedMessage& message : messages) {
            TStoreId id = kNoStoreId;
            const TStoreResult saved = InsertMessage(folder, message.Source, message.State, message.Received, &id);
            if (saved != srOk)
                return saved;
            // A record left by a message that has since been deleted for
            // good is replaced: the message is in the store again.
            FDb.Prepare("INSERT OR REPLACE INTO imports(origin, entry, message) VALUES (?, ?, ?)")
                .Bind(1, message.Origin.File)
                .Bind(2, message.Origin.Entry)
                .Bind(3, id)
                .Exec();
            ids.push_back(id);
        }
        return srOk;
    });
    if (result == srOk && newIds)
        *newIds = ids;
    return result;
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

TStoreResult TStoreFolder::SaveImportedMessages(const std::vector<TImportedMessage>& messages, TMessageIdList* newIds)
{
    return FConnection->SaveImportedMessages(FId, messages, newIds);
}
