#include "engine/StoreTypes.h"

const char* StoreResultText(TStoreResult result)
{
    switch (result) {
    case srOk: return "success";
    case srNoMore: return "no more items";
    case srFail: return "the store operation failed";
    case srNotFound: return "no such folder or message";
    case srInvalidArgument: return "invalid argument";
    case srNotPermitted: return "operation not permitted on this folder";
    case srReadOnly: return "the store is read-only";
    case srDiskFull: return "the disk is full";
    case srNotADatabase: return "the store file is not a valid store";
    case srBusy: {
        static const QByteArray text = "the store is busy: another program has kept it locked for " +
                                       QByteArray::number(kStoreBusyTimeoutMs / 1000) + " s";
        return text.constData();
    }
    case srInjectedFailure: return "injected failure";
    case srCancelled: return "cancelled";
    }
    return "unknown store error";
}

bool TStoreEvent::IsStoreEvent(const QEvent* event)
{
    const int t = event->type();
    return t == seFolderChanged || (t >= seNewMessage && t <= seMarkedUnread);
}
