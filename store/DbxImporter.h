#pragma once

#include "engine/StoreTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TOEFolder;

// Progress of an import: bytes of message files done and in all; returning
// false cancels the import after the message being saved.
using TDbxImportProgress = std::function<bool(qint64 done, qint64 total)>;

// What became of one message file.
struct TDbxFileReport {
    QString File;
    TStoreId Folder = kNoStoreId;   // where its messages went
    int Found = 0;                  // messages with a source in the file
    int Imported = 0;               // saved now
    int AlreadyImported = 0;        // saved by an earlier import and still in the store
    int Recovered = 0;              // of those found: found by scanning the data blocks
    int Incomplete = 0;             // of those saved: cut short by a broken chain of data blocks
    int WithoutSource = 0;          // listed with no source in the file (headers only)
    bool IndexDamaged = false;
    QString Error;                  // why the file could not be read
};

struct TDbxImportSummary {
    std::vector<TDbxFileReport> Files;   // in the order they were read (folders without files first)
    QStringList MissingFiles;            // named by a folder list, not found
    QStringList SkippedFiles;            // not message files of a folder
    QStringList FolderListProblems;      // a Folders.dbx that could not be used whole, with its folder
    bool Cancelled = false;
    QString Failure;                     // the store failure that stopped the import

    [[nodiscard]] int Imported() const;
    [[nodiscard]] int AlreadyImported() const;
    [[nodiscard]] int Recovered() const;
    [[nodiscard]] bool Complete() const;   // not stopped, and every file read
};

// Brings Outlook Express 5/6 stores and folder files into our store, below
// the folder `target`. A path is a folder's .dbx file (its messages go into
// `target` itself), or a folder holding Folders.dbx and its folder files, or
// that Folders.dbx (the tree is recreated below `target`; see
// TDbxStorePlan). Every message keeps its exact source, its read, flagged,
// replied and unsent state and its received date. A message already
// imported from the same file (by the file's contents, not its name) and
// still in the store is not imported again. A cancel or a store failure
// keeps what was saved before it; the summary says how far it got.
class TDbxImporter
{
public:
    TDbxImporter(TOEFolder& folders, TStoreId target);

    TDbxImportSummary Import(const QStringList& paths, const TDbxImportProgress& progress = {});

private:
    struct TJob {
        QString File;
        TStoreId Folder;
    };

    // Folders and files of one path, folders created as needed.
    bool PlanPath(const QString& path, std::vector<TJob>& jobs, TDbxImportSummary& summary);
    bool PlanStore(const QString& dir, std::vector<TJob>& jobs, TDbxImportSummary& summary);
    TStoreId FindOrCreateFolder(TStoreId parent, const QByteArray& name);
    // False when the import must stop (cancel or store failure).
    bool ImportFile(const TJob& job, TDbxImportSummary& summary);

    TOEFolder& FFolders;
    TStoreId FTarget;
    TDbxImportProgress FProgress;
    qint64 FDone = 0;
    qint64 FTotal = 0;
};
