#pragma once

#include "messages/dbx/DbxBytes.h"

#include <QByteArray>

#include <vector>

// One folder of the folder list (Folders.dbx).
struct TDbxFolder {
    quint32 Index = 0;
    quint32 Parent = 0;           // DbxFormat::kNoParent for the root
    QByteArray Name;              // 8-bit, the Windows code page of its writer
    QByteArray FileName;          // its message file ("Inbox.dbx"); empty for containers
    int Special = 0;              // 0 none, 1 Inbox, 2 Outbox, 3 Sent Items, 4 Deleted Items, 5 Drafts
    bool Local = true;            // one of the local folders (not news, not IMAP)
};

struct TDbxFolderList {
    std::vector<TDbxFolder> Folders;   // in the file's order, each index once
    bool Damaged = false;              // some of the list could not be read
};

// Reads the folder list of Folders.dbx. Pure parsing, bounds-checked.
[[nodiscard]] TDbxFolderList ReadDbxFolders(const TDbxBytes& bytes);
