#include "bench/support/StoreListFields.h"

#include <QFile>

#include <sqlite3.h>

void ForgetListFields(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK)
        sqlite3_exec(db, "DELETE FROM listfields", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
