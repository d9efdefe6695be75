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
    case srBusy: return "the store is busy";
    case srInjectedFailure: return "injected failure";
    }
    return "unknown store error";
}

bool TStoreEvent::IsStoreEvent(const QEvent* event)
{
    const int t = event->type();
    return t == seFolderChanged || (t >= seNewMessage && t <= seMarkedUnread);
}
