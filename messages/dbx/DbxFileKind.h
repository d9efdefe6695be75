#pragma once

#include "messages/dbx/DbxBytes.h"

// What a file is, by its header.
enum class TDbxKind {
    NotDbx,       // no .dbx signature
    Messages,     // a folder's message file
    Folders,      // the folder list, Folders.dbx
    Other,        // another database of the same family (POP3 ids, offline actions)
};

[[nodiscard]] TDbxKind DbxKindOf(const TDbxBytes& bytes);
