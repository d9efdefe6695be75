#include "store/OEFolders.h"
#include "store/OutlookError.h"

#include "base/SafeFile.h"
#include "engine/StoreFaults.h"
#include "settings/UiHooks.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kDeletedItems = 4;
constexpr TStoreId kDrafts = 5;

// Each test gets a new store file and a folder model over it, with error
// boxes captured instead of shown.
class FolderModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FModel = std::make_unique<TOEFolders>();
        FPreviousHandler = SetErrorBoxHandler([this](const QString& text) { FBoxes.push_back(text); });
    }
    void TearDown() override
    {
        SetErrorBoxHandler(FPreviousHandler);
        TStoreFaults::Reset();
        EXPECT_EQ(FModel->Namespace().OpenEnumerationCount(), 0u);
    }

    TStoreId Add(TStoreId parent, const char* name)
    {
        const TStoreId id = FModel->AddFolder(parent, name);
        EXPECT_NE(id, kNoStoreId);
        return id;
    }

    void SaveMessages(TStoreId folder, int count)
    {
        std::unique_ptr<TStoreFolder> open;
        ASSERT_EQ(FModel->Namespace().OpenFolder(folder, 0, open), srOk);
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(open->SaveMessage("Subject: " + QByteArray::number(i) + "\r\n\r\nx\r\n", 0, nullptr), srOk);
    }

    std::vector<QByteArray> ChildNames(TStoreId parent)
    {
        std::vector<QByteArray> names;
        FModel->ForEachChild(parent, [&](const TFolderProps& p) {
            names.push_back(p.Name);
            return true;
        });
        return names;
    }

    int MessageCount(TStoreId id)
    {
        TFolderProps props;
        EXPECT_EQ(FModel->GetFolderInfo(id, props), srOk);
        return props.MessageCount;
    }

    std::unique_ptr<TOEFolders> FModel;
    TErrorBoxHandler FPreviousHandler;
    QStringList FBoxes;
};

TEST_F(FolderModelTest, FindsParentsAndSpecialFolders)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    EXPECT_EQ(FModel->FindParentId(kInbox), kRootFolderId);
    EXPECT_EQ(FModel->FindParentId(b), a);
    EXPECT_EQ(FModel->FindParentId(4242), kNoStoreId);
    EXPECT_EQ(FModel->FindSpecialFolder(sfInbox), kInbox);
    EXPECT_EQ(FModel->FindSpecialFolder(sfDeletedItems), kDeletedItems);
    EXPECT_EQ(FModel->FindSpecialFolder(sfNotSpecial), kNoStoreId);   // only the root's children count
    EXPECT_EQ(FModel->ParentOrInbox(b), a);
    EXPECT_EQ(FModel->ParentOrInbox(4242), kInbox);
    EXPECT_TRUE(FModel->IsDescendant(kInbox, b));
    EXPECT_FALSE(FModel->IsDescendant(b, kInbox));
}

// A folder-changed notification makes every open model look up its
// folder's parent: that must not walk the folder tree.
TEST_F(FolderModelTest, TheParentIsFoundWithoutListingAnyFolder)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    FModel->SetFolderId(b);
    TStoreFaults::Inject(TStoreOp::EnumFolders, 1000);
    EXPECT_EQ(FModel->FindParentId(b), a);
    EXPECT_EQ(FModel->FindParentId(kInbox), kRootFolderId);
    EXPECT_EQ(FModel->FindParentId(4242), kNoStoreId);
    FModel->UpdateFolderInfo();
    EXPECT_EQ(FModel->ParentId(), a);
}

TEST_F(FolderModelTest, CanMoveFolderRefusesTheImpossibleMoves)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    const TStoreId c = Add(b, "C");
    struct TCase {
        TStoreId Source, Target;
        bool Expected;
    };
    const TCase cases[] = {
        {a, kDrafts, true},        {c, a, true},           {a, c, false},  // into its own subtree
        {a, b, false},             {a, a, false},          {b, a, false},  // onto its present parent
        {kRootFolderId, a, false}, {kNoStoreId, a, false}, {a, kNoStoreId, false},
    };
    for (const TCase& t : cases)
        EXPECT_EQ(FModel->CanMoveFolder(t.Source, t.Target), t.Expected) << t.Source << " -> " << t.Target;
}

TEST_F(FolderModelTest, IsInDeletedItemsCoversTheFolderAndItsSubtree)
{
    const TStoreId below = Add(kDeletedItems, "Old");
    const TStoreId deeper = Add(below, "Older");
    EXPECT_TRUE(FModel->IsInDeletedItems(kDeletedItems));
    EXPECT_TRUE(FModel->IsInDeletedItems(deeper));
    EXPECT_FALSE(FModel->IsInDeletedItems(kInbox));
}

TEST_F(FolderModelTest, CopyFolderTreeCopiesNamesMessagesAndChildren)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    Add(b, "C");
    SaveMessages(a, 3);
    SaveMessages(b, 2);
    ASSERT_TRUE(FModel->CopyFolderTree(a, kDrafts));
    ASSERT_EQ(ChildNames(kDrafts), std::vector<QByteArray>{"A"});
    TStoreId copyA = kNoStoreId;
    FModel->ForEachChild(kDrafts, [&](const TFolderProps& p) { copyA = p.Id; return false; });
    EXPECT_EQ(MessageCount(copyA), 3);
    EXPECT_EQ(ChildNames(copyA), std::vector<QByteArray>{"B"});
    EXPECT_EQ(MessageCount(a), 3);   // the source keeps its messages
}

TEST_F(FolderModelTest, CopyFolderTreeWhoseSecondChildFailsKeepsTheFirstAndReportsFailure)
{
    const TStoreId a = Add(kInbox, "A");
    SaveMessages(a, 1);
    SaveMessages(Add(a, "First"), 1);
    SaveMessages(Add(a, "Second"), 1);
    // The copy of A's messages and of the first child's succeed; the second child's fails.
    TStoreFaults::Inject(TStoreOp::CopyMoveMessages, 1, 2);
    EXPECT_FALSE(FModel->CopyFolderTree(a, kDrafts));
    TStoreId copyA = kNoStoreId;
    FModel->ForEachChild(kDrafts, [&](const TFolderProps& p) { copyA = p.Id; return false; });
    ASSERT_NE(copyA, kNoStoreId);
    EXPECT_EQ(ChildNames(copyA), (std::vector<QByteArray>{"First", "Second"}));
}

// Whichever listing of subfolders fails, the copy reports success only when
// it is complete.
TEST_F(FolderModelTest, CopyFolderTreeReportsAFailedListingOfSubfolders)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    Add(b, "C");
    Add(a, "D");
    SaveMessages(b, 2);
    std::function<QByteArray(TStoreId)> shape = [&](TStoreId id) {
        QByteArray text = QByteArray::number(MessageCount(id)) + '(';
        FModel->ForEachChild(id, [&](const TFolderProps& child) {
            text += child.Name + shape(child.Id) + ' ';
            return true;
        });
        return text + ')';
    };
    const QByteArray original = shape(a);
    int failures = 0;
    for (int after = 0; after < 12; ++after) {
        const TStoreId target = Add(kDrafts, "Target");
        TStoreFaults::Inject(TStoreOp::EnumFolders, 1, after);
        const bool copied = FModel->CopyFolderTree(a, target);
        TStoreFaults::Reset();
        TStoreId copy = kNoStoreId;
        FModel->ForEachChild(target, [&](const TFolderProps& p) { copy = p.Id; return false; });
        const bool complete = copy != kNoStoreId && shape(copy) == original;
        EXPECT_TRUE(!copied || complete) << "listing " << after << " failed, yet the copy reported success";
        failures += copied ? 0 : 1;
    }
    EXPECT_GT(failures, 0);
}

TEST_F(FolderModelTest, CopyFolderTreeIntoItselfIsRefused)
{
    const TStoreId a = Add(kInbox, "A");
    const TStoreId b = Add(a, "B");
    EXPECT_FALSE(FModel->CopyFolderTree(a, b));
    EXPECT_FALSE(FModel->CopyFolderTree(a, a));
    EXPECT_TRUE(ChildNames(b).empty());
}

// Once a window's folder model has the store open, no export or save of
// the process can replace the store or a file SQLite keeps beside it.
TEST_F(FolderModelTest, TheOpenStoresFilesAreNoTargetForAnyWrite)
{
    const QString store = FModel->Namespace().Path();
    const QByteArray before = ReadTestFile(store);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString file = store + QLatin1String(suffix);
        if (!QFile::exists(file))
            WriteTestFile(file, QByteArray());
        EXPECT_THROW(WriteFileSafely(file, "lost", TSafeFileStream::TMode::Replace), EFCreateError) << suffix;
    }
    EXPECT_EQ(ReadTestFile(store), before);
}

TEST_F(FolderModelTest, SetFolderIdOpensAndRaisesForUnknownFolders)
{
    const TStoreId a = Add(kInbox, "A");
    FModel->SetFolderId(a);
    EXPECT_EQ(FModel->FolderId(), a);
    EXPECT_EQ(FModel->ParentId(), kInbox);
    EXPECT_EQ(FModel->FolderName(), "A");
    EXPECT_THROW(FModel->SetFolderId(4242), EOutlookError);
    EXPECT_EQ(FModel->FolderId(), kNoStoreId);
    EXPECT_THROW(FModel->ReadFolderProps(), EOutlookError);
    FModel->SetFolderId(kRootFolderId);   // the root has no store folder
    EXPECT_EQ(FModel->Folder(), nullptr);
}

TEST_F(FolderModelTest, ARenameFromAnotherModelRefreshesTheOpenFolderBeforeTheEvent)
{
    const TStoreId a = Add(kInbox, "A");
    FModel->SetFolderId(a);
    QByteArray nameSeenByEvent;
    int type = 0;
    FModel->OnFolderChange = [&](int t, TStoreId, TStoreId newId) {
        if (newId == a) {
            type = t;
            nameSeenByEvent = FModel->FolderName();
        }
    };
    TOEFolders other;
    ASSERT_TRUE(other.RenameFolderId(a, "Renamed"));
    ASSERT_TRUE(WaitUntil([&] { return type != 0; }));
    EXPECT_EQ(type, fnRenamed);
    EXPECT_EQ(nameSeenByEvent, "Renamed");
}

TEST_F(FolderModelTest, MessageNotificationsBecomeEvents)
{
    FModel->SetFolderId(kInbox);
    std::vector<TMessageProps> added;
    TMessageIdList deleted;
    TMessageIdList read;
    FModel->OnNewMessage = [&](TOEFolder*, const TMessageProps& p) { added.push_back(p); };
    FModel->OnDeleteMessages = [&](TOEFolder*, const TMessageIdList& ids) { deleted += ids; };
    FModel->OnMarkedRead = [&](TOEFolder*, const TMessageIdList& ids) { read += ids; };

    TOEFolders other;
    other.SetFolderId(kInbox);
    TStoreId id = kNoStoreId;
    ASSERT_EQ(other.Folder()->SaveMessage("Subject: s\r\n\r\n", kMsgUnread, &id), srOk);
    ASSERT_TRUE(WaitUntil([&] { return !added.empty(); }));
    ASSERT_EQ(other.Folder()->MarkMessagesAsRead(true, 0, {id}), srOk);
    ASSERT_TRUE(other.CopyMoveTo({id}, kDrafts, true));
    ASSERT_TRUE(WaitUntil([&] { return !deleted.isEmpty(); }));
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].Id, id);
    EXPECT_EQ(added[0].State, kMsgUnread);
    EXPECT_EQ(read, TMessageIdList{id});
    EXPECT_EQ(deleted, TMessageIdList{id});
}

TEST_F(FolderModelTest, ANewMessageThatLeftBeforeItsNotificationIsSkippedQuietly)
{
    FModel->SetFolderId(kInbox);
    int added = 0;
    bool deleted = false;
    FModel->OnNewMessage = [&](TOEFolder*, const TMessageProps&) { ++added; };
    FModel->OnDeleteMessages = [&](TOEFolder*, const TMessageIdList&) { deleted = true; };
    TOEFolders other;
    other.SetFolderId(kInbox);
    TStoreId id = kNoStoreId;
    ASSERT_EQ(other.Folder()->SaveMessage("Subject: s\r\n\r\n", 0, &id), srOk);
    ASSERT_TRUE(other.CopyMoveTo({id}, kDrafts, true));
    ASSERT_TRUE(WaitUntil([&] { return deleted; }));
    EXPECT_EQ(added, 0);
    EXPECT_TRUE(FBoxes.isEmpty());
}

TEST_F(FolderModelTest, OpenFolderRequestRunsAfterTheCurrentEvent)
{
    const TStoreId a = Add(kInbox, "A");
    TStoreId opened = kNoStoreId;
    FModel->OnFolderOpened = [&](TOEFolders*, TStoreId id) { opened = id; };
    FModel->RequestOpenFolder(a);
    EXPECT_EQ(opened, kNoStoreId);
    ASSERT_TRUE(WaitUntil([&] { return opened == a; }));
    EXPECT_EQ(FModel->FolderId(), a);
}

TEST_F(FolderModelTest, CopyMoveToReportsTheTwoFailures)
{
    FModel->SetFolderId(kInbox);
    SaveMessages(kInbox, 1);
    EXPECT_FALSE(FModel->CopyMoveTo({1}, 4242, false));
    TStoreFaults::Inject(TStoreOp::CopyMoveMessages, 1);
    EXPECT_FALSE(FModel->CopyMoveTo({1}, kDrafts, false));
    EXPECT_EQ(FBoxes, (QStringList{OutlookErrorText(0), OutlookErrorText(1)}));
    EXPECT_EQ(MessageCount(kDrafts), 0);
}

TEST_F(FolderModelTest, CopiesAndMovesGoInBatchesWithProgressAndStopWhenAsked)
{
    SaveMessages(kInbox, 450);
    std::vector<quint32> progress;
    FModel->OnProgress = [&](quint32 current, quint32 maximum) {
        progress.push_back(current);
        EXPECT_EQ(maximum, 450u);
    };
    ASSERT_TRUE(FModel->CopyAllMessages(kInbox, kDrafts));
    EXPECT_EQ(progress, (std::vector<quint32>{200, 400, 450}));
    EXPECT_EQ(MessageCount(kDrafts), 450);

    // A stop asked for while the first batch ran keeps that batch and no more.
    progress.clear();
    FModel->StopRequested = [&] { return !progress.empty(); };
    FModel->SetFolderId(kInbox);
    TMessageIdList ids;
    for (TStoreId id = 1; id <= 450; ++id)
        ids.push_back(id);
    ASSERT_TRUE(FModel->CopyMoveTo(ids, kDeletedItems, true));
    EXPECT_EQ(progress, (std::vector<quint32>{200}));
    EXPECT_EQ(MessageCount(kInbox), 250);
    EXPECT_EQ(MessageCount(kDeletedItems), 200);
    EXPECT_TRUE(FBoxes.isEmpty());
}

// A batch that fails says so, and how far the others got; what they
// copied stays.
TEST_F(FolderModelTest, AFailedBatchSaysHowManyWereDoneBeforeIt)
{
    SaveMessages(kInbox, 450);
    FModel->SetFolderId(kInbox);
    TMessageIdList ids;
    for (TStoreId id = 1; id <= 450; ++id)
        ids.push_back(id);
    TStoreFaults::Inject(TStoreOp::CopyMoveMessages, 1, 2);
    EXPECT_FALSE(FModel->CopyMoveTo(ids, kDrafts, false));
    ASSERT_EQ(FBoxes.size(), 1);
    EXPECT_TRUE(FBoxes[0].startsWith(OutlookErrorText(kCopyMoveError)));
    EXPECT_TRUE(FBoxes[0].endsWith(QStringLiteral("400 of the 450 messages had been copied or moved before it.")))
        << FBoxes[0].toStdString();
    EXPECT_EQ(MessageCount(kDrafts), 400);
    EXPECT_EQ(MessageCount(kInbox), 450);
}

TEST(FolderModelStartup, AStoreThatCannotBeOpenedRaisesCanNotInitialize)
{
    const QString folder = TTestEnvironment::NewFolder();
    qputenv("VELLUMO_STORE", QFile::encodeName(folder));   // a folder, not a file
    try {
        TOEFolders model;
        FAIL() << "no exception";
    } catch (const EOutlookError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Can not Initialize"));
    }
}

} // namespace
