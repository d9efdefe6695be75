#pragma once

// The floor below which no import into the store can go: SQLite inserting
// the same sources into a fresh database with the store's journal settings,
// in one transaction.

#include <QByteArray>
#include <QString>

#include <vector>

// Seconds taken to insert `sources` into a new database at `path`, which is
// removed afterwards; a negative number when SQLite failed.
double SqliteFloorSeconds(const QString& path, const std::vector<QByteArray>& sources);
