#pragma once

#include "engine/StoreNamespace.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <map>
#include <vector>

// A store of the benchmarks' own (pointed to by $VELLUMO_STORE) with one
// folder of synthetic messages per benchmarked size, filled on first use.
class TBenchStore
{
public:
    static constexpr int kAverageSize = 6000;
    static constexpr uint32_t kSeed = 7;

    TBenchStore();

    // The folder of `count` messages below the Inbox.
    TStoreId FolderOf(int count);
    // The messages of that folder, as they were saved.
    [[nodiscard]] static std::vector<QByteArray> MessagesOf(int count);
    // Forgets every cached list field.
    void ForgetListFields() const;

private:
    QTemporaryDir FDir;
    QString FPath;
    TStoreNamespace FStore;
    std::map<int, TStoreId> FFolders;
};
