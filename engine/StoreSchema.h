#pragma once

#include <QString>

class TSqlDatabase;

// The layout of the store database: how a file is recognised as a store,
// how a new store is created and how an older one is brought up to date,
// one version step at a time.
class TStoreSchema
{
public:
    // What an open database file holds, as far as the store is concerned.
    enum class TKind {
        Empty,     // no schema at all: a store may be created in it
        Store,     // a store of some version
        Foreign,   // anything else: never to be touched
    };
    struct TInfo {
        TKind Kind = TKind::Foreign;
        int Version = 0;
    };

    // The schema version this program writes.
    [[nodiscard]] static int CurrentVersion();

    // False when nothing or an empty file is at the path: there is no store yet.
    [[nodiscard]] static bool FileHasContent(const QString& path);

    // Reads what the database holds, writing nothing. Throws TSqlError when
    // the file cannot be read as a database.
    [[nodiscard]] static TInfo Inspect(TSqlDatabase& db);

    // Creates the store in an empty database, or upgrades an older store,
    // in one write transaction; does nothing for a current store. Throws
    // TSqlError (SQLITE_NOTADB for a database that is not a store or is of
    // a newer version).
    static void Prepare(TSqlDatabase& db);
};
