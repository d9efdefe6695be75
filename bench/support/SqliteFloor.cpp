#include "bench/support/SqliteFloor.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

namespace {

bool InsertAll(sqlite3* db, const std::vector<QByteArray>& sources)
{
    if (sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                     "CREATE TABLE messages(id INTEGER PRIMARY KEY, source BLOB NOT NULL); BEGIN",
                     nullptr, nullptr, nullptr)
        != SQLITE_OK)
        return false;
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO messages(source) VALUES (?)", -1, &insert, nullptr) != SQLITE_OK)
        return false;
    bool inserted = true;
    for (const QByteArray& source : sources) {
        sqlite3_bind_blob(insert, 1, source.constData(), static_cast<int>(source.size()), SQLITE_STATIC);
        inserted = sqlite3_step(insert) == SQLITE_DONE && inserted;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    return inserted && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

double SqliteFloorSeconds(const QString& path, const std::vector<QByteArray>& sources)
{
    QElapsedTimer clock;
    clock.start();
    sqlite3* db = nullptr;
    const bool inserted = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK && InsertAll(db, sources);
    sqlite3_close(db);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    QFile::remove(path);
    return inserted ? seconds : -1;
}
