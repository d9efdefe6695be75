// Several processes writing one store at once: each waits for the others
// and nothing is lost.

#include "tests/engine/ChildProcess.h"
#include "tests/engine/StoreTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <set>

namespace {

QByteArray SourceOf(int writer, int number)
{
    return "Subject: writer " + QByteArray::number(writer) + " message " + QByteArray::number(number) + "\r\n\r\n"
           + QByteArray(2000 + number * 7, char('a' + number % 26));
}

// One process importing: every message saved alone, every tenth batch of
// ten moved on into the writer's own folder.
QByteArray Import(const QString& path, int writer, TStoreId target, int count)
{
    TStoreNamespace store;
    std::unique_ptr<TStoreFolder> inbox;
    std::unique_ptr<TStoreFolder> moved;
    if (store.Initialize(path) != srOk || store.OpenFolder(kInbox, 0, inbox) != srOk
        || store.OpenFolder(target, 0, moved) != srOk)
        return "writer " + QByteArray::number(writer) + " cannot open the store";
    TMessageIdList batch;
    for (int i = 0; i < count; ++i) {
        TStoreId id = kNoStoreId;
        const TStoreResult saved = inbox->SaveMessage(SourceOf(writer, i), kMsgUnread, &id);
        if (saved != srOk)
            return "a save failed: " + QByteArray(StoreResultText(saved));
        batch.push_back(id);
        if (batch.size() == 10) {
            const TStoreResult result = inbox->CopyMoveMessages(*moved, batch, 1, 0, nullptr);
            if (result != srOk)
                return "a move failed: " + QByteArray(StoreResultText(result));
            batch.clear();
        }
    }
    return {};
}

QByteArray Compact(const QString& path, int times)
{
    TStoreNamespace store;
    std::unique_ptr<TStoreFolder> inbox;
    if (store.Initialize(path) != srOk || store.OpenFolder(kInbox, 0, inbox) != srOk)
        return "the compacting process cannot open the store";
    for (int i = 0; i < times; ++i) {
        const TStoreResult all = store.CompactAll(0);
        const TStoreResult one = inbox->Compact(0);
        if (all != srOk || one != srOk)
            return "a compaction failed: " + QByteArray(StoreResultText(all != srOk ? all : one));
    }
    return {};
}

} // namespace

// The processes are forked with no connection open in the parent: SQLite's
// locks are per process, and a connection must not cross a fork.
TEST(StoreProcesses, TwoImportsAndACompactionAtOnceLoseNothing)
{
    constexpr int kCount = 150;
    const QString path = TTestEnvironment::NewStorePath();
    TStoreId first = kNoStoreId;
    TStoreId second = kNoStoreId;
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        ASSERT_EQ(store.CreateFolder(kInbox, "First", 0, &first), srOk);
        ASSERT_EQ(store.CreateFolder(kInbox, "Second", 0, &second), srOk);
    }
    {
        TChildProcess one([&] { return Import(path, 1, first, kCount); });
        TChildProcess two([&] { return Import(path, 2, second, kCount); });
        TChildProcess compact([&] { return Compact(path, 15); });
        EXPECT_EQ(one.Finish().toStdString(), "");
        EXPECT_EQ(two.Finish().toStdString(), "");
        EXPECT_EQ(compact.Finish().toStdString(), "");
    }
    TStoreNamespace store;
    ASSERT_EQ(store.Initialize(path), srOk);
    std::multiset<QByteArray> found;
    for (TStoreId id : {kInbox, first, second}) {
        std::unique_ptr<TStoreFolder> folder;
        ASSERT_EQ(store.OpenFolder(id, 0, folder), srOk);
        for (TStoreId message : IdsIn(*folder))
            found.insert(SourceIn(*folder, message));
    }
    std::multiset<QByteArray> expected;
    for (int writer : {1, 2}) {
        for (int i = 0; i < kCount; ++i)
            expected.insert(SourceOf(writer, i));
    }
    EXPECT_TRUE(found == expected) << found.size() << " messages found of " << expected.size();
    for (const auto& [id, total] : {std::pair{first, kCount}, std::pair{second, kCount}, std::pair{kInbox, 0}}) {
        TFolderProps props;
        ASSERT_EQ(store.GetFolderProperties(id, 0, props), srOk);
        EXPECT_EQ(props.MessageCount, total);
        EXPECT_EQ(props.UnreadCount, total);
    }
}
