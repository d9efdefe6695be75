#include "engine/SqlDatabase.h"

#include <sqlite3.h>

TStoreResult ResultFromSqlite(int code)
{
    switch (code & 0xFF) {
    case SQLITE_OK: return srOk;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN: return srReadOnly;
    case SQLITE_FULL: return srDiskFull;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return srNotADatabase;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return srBusy;
    default: return srFail;
    }
}

TSqlStatement::~TSqlStatement()
{
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
}

TSqlStatement& TSqlStatement::Bind(int index, qint64 value)
{
    sqlite3_bind_int64(FStmt, index, value);
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, const QByteArray& blob)
{
    // An empty but non-null blob: SQLite would store NULL for a null pointer.
    static const char empty = 0;
    sqlite3_bind_blob64(FStmt, index, blob.isEmpty() ? &empty : blob.constData(),
                        static_cast<sqlite3_uint64>(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

TSqlStatement& TSqlStatement::BindNull(int index)
{
    sqlite3_bind_null(FStmt, index);
    return *this;
}

bool TSqlStatement::Step()
{
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw TSqlError{rc, QByteArray(sqlite3_errmsg(FDb))};
}

void TSqlStatement::Exec()
{
    while (Step()) {
    }
}

qint64 TSqlStatement::Int(int column) const
{
    return sqlite3_column_int64(FStmt, column);
}

QByteArray TSqlStatement::Blob(int column) const
{
    const void* data = sqlite3_column_blob(FStmt, column);
    const int size = sqlite3_column_bytes(FStmt, column);
    return QByteArray(static_cast<const char*>(data), size);
}

bool TSqlStatement::IsNull(int column) const
{
    return sqlite3_column_type(FStmt, column) == SQLITE_NULL;
}

TSqlDatabase::~TSqlDatabase()
{
    for (auto& [sql, stmt] : FCache)
        sqlite3_finalize(stmt);
    if (FDb)
        sqlite3_close_v2(FDb);
}

void TSqlDatabase::Open(const QString& path)
{
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &FDb,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        TSqlError error{rc, QByteArray(FDb ? sqlite3_errmsg(FDb) : "cannot open")};
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        throw error;
    }
    sqlite3_extended_result_codes(FDb, 1);
    sqlite3_busy_timeout(FDb, kStoreBusyTimeoutMs);
}

void TSqlDatabase::Execute(const char* sql)
{
    const int rc = sqlite3_exec(FDb, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        Fail(rc);
}

void TSqlDatabase::Rollback() noexcept
{
    // Also safe when SQLite has already rolled back on its own (a full disk).
    if (!sqlite3_get_autocommit(FDb))
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
}

TSqlStatement TSqlDatabase::Prepare(const char* sql)
{
    // Statements are cached by the address of their text: every caller passes
    // a string literal, so the address identifies the statement.
    auto it = FCache.find(sql);
    if (it == FCache.end()) {
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v3(FDb, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK)
            Fail(rc);
        it = FCache.emplace(sql, stmt).first;
    }
    return TSqlStatement(it->second, FDb);
}

qint64 TSqlDatabase::LastInsertId() const
{
    return sqlite3_last_insert_rowid(FDb);
}

int TSqlDatabase::Changes() const
{
    return sqlite3_changes(FDb);
}

void TSqlDatabase::Fail(int code) const
{
    throw TSqlError{code, QByteArray(sqlite3_errmsg(FDb))};
}

TSqlTransaction::TSqlTransaction(TSqlDatabase& db)
    : FDb(db)
{
    FDb.Execute("BEGIN IMMEDIATE");
}

TSqlTransaction::~TSqlTransaction()
{
    if (!FDone)
        FDb.Rollback();
}

void TSqlTransaction::Commit()
{
    FDb.Execute("COMMIT");
    FDone = true;
}
