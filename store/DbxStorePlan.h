#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One folder that an import of an Outlook Express store folder creates, or
// finds, in our store.
struct TDbxPlannedFolder {
    int Parent = -1;          // index of its planned parent; -1: the folder the import goes into
    QByteArray Name;          // 8-bit, as the store keeps names
    int Special = -1;         // one of our special folders (TSpecialFolder): its messages go there
    QString File;             // its message file; empty for a folder that only holds others
};

// What importing a store folder (Folders.dbx and one .dbx file per folder)
// will do: the folder tree of Folders.dbx below the import's folder, the
// local Inbox, Outbox, Sent Items, Deleted Items and Drafts onto ours; then
// every message file of the folder that the list does not name, as a folder
// named after its file. Without a readable Folders.dbx, that is every
// message file.
struct TDbxStorePlan {
    std::vector<TDbxPlannedFolder> Folders;   // parents before their children
    QStringList MissingFiles;                 // named by Folders.dbx, not in the folder
    QStringList SkippedFiles;                 // *.dbx files that hold no messages of a folder
    QString FolderListProblem;                // why Folders.dbx could not be used, when it could not
    int DbxFiles = 0;                         // *.dbx files in the folder, Folders.dbx among them
};

// Plans the import of the store folder `dir`.
[[nodiscard]] TDbxStorePlan PlanDbxStore(const QString& dir);
