#pragma once

#include "engine/StoreTypes.h"

// Operations whose failure tests can inject.
enum class TStoreOp : int {
    Initialize,
    OpenFolder,
    CreateFolder,
    RenameFolder,
    MoveFolder,
    DeleteFolder,
    Compact,
    GetFolderProperties,
    EnumFolders,
    EnumMessages,
    GetMessageProperties,
    OpenMessage,
    SaveMessage,
    CopyMoveMessages,
    DeleteMessages,
    MarkMessages,
    RegisterNotification,
    Setting,
    ReadListing,
    WriteListFields,
    Count
};

// Failure injection for tests: after `after` more successful calls of an
// operation, its next `count` calls fail with srInjectedFailure and change
// nothing. Process-wide; Reset() clears every plan.
class TStoreFaults
{
public:
    static void Inject(TStoreOp op, int count, int after = 0);
    static void Reset();
    // Called by the engine at the start of each operation.
    [[nodiscard]] static bool ShouldFail(TStoreOp op);
};
