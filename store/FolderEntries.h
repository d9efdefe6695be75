#pragma once

#include "engine/StoreTypes.h"

#include <QString>

#include <vector>

class TOEFolder;

// One folder as the folder tree and the folder choosers show it.
struct TFolderEntry
{
    TStoreId Id = kNoStoreId;
    int Kind = 6;            // FolderKind of the folder
    QString Name;            // the store's name, converted from the system code page
    int MessageCount = 0;
    int UnreadCount = 0;
};

[[nodiscard]] TFolderEntry FolderEntry(const TFolderProps& props);

// The name alone, or with the unread count as "name (3)" when there are unread messages.
[[nodiscard]] QString FolderCaption(const QString& name, int unread);

// The order of folders below one parent: by kind (Inbox, Outbox, Sent
// Items, Deleted Items, Drafts, then the other folders), equal kinds by
// name in the user's language with letter case ignored.
[[nodiscard]] bool FolderSortsBefore(int kind, const QString& name, int otherKind, const QString& otherName);

// The children of `parent` in that order. `listed` (when given) tells
// whether the store listed them all.
[[nodiscard]] std::vector<TFolderEntry> SortedChildren(TOEFolder& folders, TStoreId parent, bool* listed = nullptr);
