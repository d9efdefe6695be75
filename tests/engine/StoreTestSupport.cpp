#include "tests/engine/StoreTestSupport.h"

#include "engine/StoreFaults.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>

#include <sqlite3.h>

std::vector<TEventRecorder::TRecord> TEventRecorder::Take()
{
    QCoreApplication::processEvents();
    return std::exchange(Records, {});
}

bool TEventRecorder::event(QEvent* event)
{
    if (!TStoreEvent::IsStoreEvent(event))
        return QObject::event(event);
    const auto& e = static_cast<const TStoreEvent&>(*event);
    Records.push_back({e.StoreType(), e.FolderId, e.NotifyType, e.Ids});
    return true;
}

qint64 SqlInt(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    qint64 value = -1;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

void StoreTest::SetUp()
{
    FPath = TTestEnvironment::NewStorePath();
    ASSERT_EQ(FStore.Initialize(FPath), srOk);
}

void StoreTest::TearDown()
{
    TStoreFaults::Reset();
    EXPECT_EQ(FStore.OpenEnumerationCount(), 0u);
}

std::unique_ptr<TStoreFolder> StoreTest::Open(TStoreId id)
{
    std::unique_ptr<TStoreFolder> folder;
    EXPECT_EQ(FStore.OpenFolder(id, 0, folder), srOk);
    return folder;
}

TStoreId StoreTest::NewFolder(TStoreId parent, const char* name)
{
    TStoreId id = kNoStoreId;
    EXPECT_EQ(FStore.CreateFolder(parent, name, 0, &id), srOk);
    return id;
}

TStoreId StoreTest::Save(TStoreId folder, const QByteArray& source, quint32 state)
{
    TStoreId id = kNoStoreId;
    EXPECT_EQ(Open(folder)->SaveMessage(source, state, &id), srOk);
    return id;
}

TMessageIdList IdsIn(TStoreFolder& folder)
{
    TMessageIdList ids;
    TMessageProps props;
    TEnumHandle handle = 0;
    for (TStoreResult r = folder.GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
         r = folder.GetNextMessage(handle, 0, props))
        ids.push_back(props.Id);
    folder.GetMessageClose(handle);
    return ids;
}

QByteArray SourceIn(TStoreFolder& folder, TStoreId id)
{
    std::unique_ptr<QIODevice> stream;
    EXPECT_EQ(folder.OpenMessage(id, stream), srOk);
    return stream ? stream->readAll() : QByteArray();
}

std::vector<TStoreId> StoreTest::MessageIds(TStoreId folder)
{
    const TMessageIdList ids = IdsIn(*Open(folder));
    return {ids.cbegin(), ids.cend()};
}

std::vector<TFolderProps> StoreTest::Children(TStoreId parent)
{
    std::vector<TFolderProps> children;
    TFolderProps props;
    TEnumHandle handle = 0;
    for (TStoreResult r = FStore.GetFirstSubFolder(parent, props, handle); r == srOk;
         r = FStore.GetNextSubFolder(handle, props))
        children.push_back(props);
    FStore.GetSubFolderClose(handle);
    return children;
}

TFolderProps StoreTest::Props(TStoreId id)
{
    TFolderProps props;
    EXPECT_EQ(FStore.GetFolderProperties(id, 0, props), srOk);
    return props;
}
