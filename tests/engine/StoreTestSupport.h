#pragma once

#include "engine/StoreNamespace.h"

#include <QObject>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Records every store notification it receives.
class TEventRecorder : public QObject
{
public:
    struct TRecord {
        int Type;
        TStoreId FolderId;
        int NotifyType;
        TMessageIdList Ids;
    };
    std::vector<TRecord> Records;

    // Processes pending events, then returns what arrived (and forgets it).
    std::vector<TRecord> Take();

protected:
    bool event(QEvent* event) override;
};

// The ids of a folder's messages, in store order.
[[nodiscard]] TMessageIdList IdsIn(TStoreFolder& folder);
// The source of a message; empty, and the test failed, when it cannot be read.
[[nodiscard]] QByteArray SourceIn(TStoreFolder& folder, TStoreId id);

// The first column of the first row of `sql`, run on the file through a
// plain SQLite connection, as another program would; -1 when it fails.
[[nodiscard]] qint64 SqlInt(const QString& path, const char* sql);

// A fresh store in its own file, opened through one namespace.
class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TStoreFolder> Open(TStoreId id);
    TStoreId NewFolder(TStoreId parent, const char* name);
    TStoreId Save(TStoreId folder, const QByteArray& source, quint32 state = 0);
    std::vector<TStoreId> MessageIds(TStoreId folder);
    std::vector<TFolderProps> Children(TStoreId parent);
    TFolderProps Props(TStoreId id);

    QString FPath;
    TStoreNamespace FStore;
};

inline constexpr TStoreId kInbox = 1;
inline constexpr TStoreId kOutbox = 2;
inline constexpr TStoreId kSentItems = 3;
inline constexpr TStoreId kDeletedItems = 4;
inline constexpr TStoreId kDrafts = 5;
