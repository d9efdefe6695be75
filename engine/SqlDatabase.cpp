#include "engine/SqlDatabase.h"

#include <QUrl>

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
    case SQLITE_INTERRUPT: return srCancelled;
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
    Close();
}

void TSqlDatabase::Close() noexcept
{
    for (auto& [sql, stmt] : FCache)
        sqlite3_finalize(stmt);
    FCache.clear();
    if (FDb)
        sqlite3_close_v2(FDb);
    FDb = nullptr;
}

void TSqlDatabase::Open(const QString& path, TOpenMode mode)
{
    Close();
    QByteArray file = path.toUtf8();
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case TOpenMode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case TOpenMode::Existing:
        // SQLite falls back to reading only when the file is write-protected.
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case TOpenMode::Immutable:
        // Without write access to the folder a store in WAL mode can only be
        // read as immutable: SQLite then needs no -shm file and takes no locks.
        file = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        break;
    }
    const int rc = sqlite3_open_v2(file.constData(), &FDb, flags, nullptr);
    if (rc != SQLITE_OK) {
        TSqlError error{rc, QByteArray(FDb ? sqlite3_errmsg(FDb) : "cannot open")};
        Close();
        throw error;
    }
    sqlite3_extended_result_codes(FDb, 1);
    sqlite3_busy_timeout(FDb, kStoreBusyTimeoutMs);
}

void TSqlDatabase::SetKeepGoing(TStoreKeepGoing keepGoing)
{
    // Asking costs a function call; a large statement asks thousands of times a second.
    constexpr int kStepsPerQuestion = 1000;
    FKeepGoing = std::move(keepGoing);
    if (FDb)
        sqlite3_progress_handler(FDb, FKeepGoing ? kStepsPerQuestion : 0, FKeepGoing ? AskKeepGoing : nullptr, this);
}

int TSqlDatabase::AskKeepGoing(void* self)
{
    return static_cast<TSqlDatabase*>(self)->FKeepGoing() ? 0 : 1;
}

bool TSqlDatabase::IsReadOnly() const
{
    return FDb && sqlite3_db_readonly(FDb, "main") == 1;
}

bool TSqlDatabase::InTransaction() const
{
    return FDb && !sqlite3_get_autocommit(FDb);
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

qint64 TSqlDatabase::QueryInt(const char* sql)
{
    TSqlStatement select = Prepare(sql);
    return select.Step() ? select.Int(0) : 0;
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
