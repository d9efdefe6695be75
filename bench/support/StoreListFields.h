#pragma once

#include <QString>

// Forgets every list field the store at `path` keeps, so that the next open
// of a folder derives them again, as the first open of a store does (a store
// without them has nothing to forget).
void ForgetListFields(const QString& path);
