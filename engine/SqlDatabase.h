#pragma once

#include "engine/StoreTypes.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// Thrown inside the engine when SQLite reports an error; every public store
// operation catches it and turns it into a result code.
struct TSqlError {
    int Code;
    QByteArray Message;
};

[[nodiscard]] TStoreResult ResultFromSqlite(int code);

// A prepared statement borrowed from the connection's cache; it is reset and
// its bindings cleared when the borrower lets it go.
class TSqlStatement
{
public:
    explicit TSqlStatement(sqlite3_stmt* stmt, sqlite3* db) : FStmt(stmt), FDb(db) {}
    ~TSqlStatement();
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    TSqlStatement& Bind(int index, qint64 value);
    TSqlStatement& Bind(int index, const QByteArray& blob);
    TSqlStatement& BindNull(int index);

    // Steps once; true while a row is available.
    bool Step();
    // Runs a statement that returns no rows.
    void Exec();

    [[nodiscard]] qint64 Int(int column) const;
    [[nodiscard]] QByteArray Blob(int column) const;
    [[nodiscard]] bool IsNull(int column) const;

private:
    sqlite3_stmt* FStmt;
    sqlite3* FDb;
};

// One SQLite connection with a cache of prepared statements.
class TSqlDatabase
{
public:
    TSqlDatabase() = default;
    ~TSqlDatabase();
    TSqlDatabase(const TSqlDatabase&) = delete;
    TSqlDatabase& operator=(const TSqlDatabase&) = delete;

    enum class TOpenMode {
        Create,      // read and write; a missing file is created
        Existing,    // read and write when the file allows it, else read only
        Immutable,   // read only, for files nobody can change (read-only media)
    };

    // Opens the file; throws TSqlError. An open connection is closed first.
    void Open(const QString& path, TOpenMode mode);
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const { return FDb != nullptr; }
    [[nodiscard]] bool IsReadOnly() const;
    // True inside a transaction not yet committed or rolled back.
    [[nodiscard]] bool InTransaction() const;

    // Runs one or more statements without results.
    void Execute(const char* sql);
    void Rollback() noexcept;
    [[nodiscard]] TSqlStatement Prepare(const char* sql);
    // The first column of the first row of a statement prepared once.
    [[nodiscard]] qint64 QueryInt(const char* sql);
    [[nodiscard]] qint64 LastInsertId() const;
    [[nodiscard]] int Changes() const;
    [[noreturn]] void Fail(int code) const;

    // While set, `keepGoing` is asked every few thousand virtual-machine
    // steps; when it answers false the running statement stops with
    // SQLITE_INTERRUPT and its transaction rolls back. Empty clears it.
    void SetKeepGoing(TStoreKeepGoing keepGoing);

private:
    static int AskKeepGoing(void* self);

    sqlite3* FDb = nullptr;
    TStoreKeepGoing FKeepGoing;
    std::map<const char*, sqlite3_stmt*> FCache;
};

// Runs a write transaction that rolls back unless committed.
class TSqlTransaction
{
public:
    explicit TSqlTransaction(TSqlDatabase& db);
    ~TSqlTransaction();
    TSqlTransaction(const TSqlTransaction&) = delete;
    TSqlTransaction& operator=(const TSqlTransaction&) = delete;

    void Commit();

private:
    TSqlDatabase& FDb;
    bool FDone = false;
};
