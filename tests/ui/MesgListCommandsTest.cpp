// The list's commands: the clipboard and drag calls, deleting, the folder
// tree it is tied to.

#include "tests/ui/MesgListTestSupport.h"

#include "messages/MesgItems.h"
#include "messages/MesgTransfer.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "ui/mesglist/MesgListLinks.h"

#include <QApplication>
#include <QTest>

namespace {

// Records what the list asks of the clipboard and of the transfer object.
class TRecordingClipboard : public IMesgListClipboard, public IMesgTransfer
{
public:
    QStringList Calls;
    bool Accepts = false;

    void RegisterDropTarget(TMesgListView&) override { Calls << QStringLiteral("register"); }
    void UnregisterDropTarget(TMesgListView&) override { Calls << QStringLiteral("unregister"); }
    void SetSourceControl(TMesgListView&) override { Calls << QStringLiteral("source"); }
    bool CanPasteInto(TMesgListView&) override { return Accepts; }
    void PasteInto(TMesgListView&) override { Calls << QStringLiteral("paste"); }

    bool FromThisRun() const override { return false; }
    bool HasVirtualFiles() const override { return false; }
    QStringList DroppedFiles() const override { return {}; }
    void SetDropEffect(TDropEffect) override {}
    bool PasteCancelled() const override { return false; }
    void SetPasteProgress(int, int) override {}
    void CopyToClipboard() override { Calls << QStringLiteral("copy %1").arg(QApplication::overrideCursor() ? 1 : 0); }
    void CutToClipboard() override { Calls << QStringLiteral("cut"); }
    void StartDrag() override { Calls << QStringLiteral("drag"); }
};

// A folder tree as the list sees it.
class TRecordingTree : public IMesgListTree
{
public:
    std::vector<TMesgListView*> Attached;
    int Syncs = 0;

    void AttachList(TMesgListView* list) override { Attached.push_back(list); }
    void SyncWithList() override { ++Syncs; }
};

class MesgListCommands : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FOld = SetMesgListClipboard(&FClipboard);
        FWindow->Recreate();
        List().Messages()->SetTransfer(&FClipboard);
    }
    void TearDown() override
    {
        FWindow.reset();
        SetMesgListClipboard(FOld);
        MesgListTest::TearDown();
    }

    TMesgListView& List() { return FWindow->List(); }

    TRecordingClipboard FClipboard;
    IMesgListClipboard* FOld = nullptr;
};

TEST_F(MesgListCommands, CopyCutPasteAndDragGoThroughTheClipboard)
{
    EXPECT_EQ(FClipboard.Calls, Texts({"register"}));
    SaveMany(kInbox, 3, [](int n) { return TTestMessage("Subject " + QByteArray::number(n)); });
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.ClearSelection();
    EXPECT_FALSE(list.CanCopy());
    EXPECT_FALSE(list.CanCut());
    EXPECT_FALSE(list.CanDelete());
    EXPECT_FALSE(list.CanPaste());
    FClipboard.Accepts = true;
    EXPECT_TRUE(list.CanPaste());

    FClipboard.Calls.clear();
    list.SetItemIndex(1);
    ASSERT_TRUE(list.CanCopy());
    list.Copy();
    list.Cut();
    list.Paste();
    // The wait cursor shows while the copy is prepared, and goes.
    EXPECT_EQ(FClipboard.Calls, Texts({"source", "copy 1", "source", "cut", "paste"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A drag from a selected row.
    FClipboard.Calls.clear();
    const QPoint from = list.RowRect(1).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(list.viewport(), from + QPoint(step * QApplication::startDragDistance(), 0));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, from);
    EXPECT_EQ(FClipboard.Calls, Texts({"source", "drag"}));

    FClipboard.Calls.clear();
    FWindow->Recreate();
    EXPECT_EQ(FClipboard.Calls, Texts({"unregister", "register"}));
}

TEST_F(MesgListCommands, DeleteMovesTheSelectedMessagesToDeletedItems)
{
    const std::vector<TStoreId> ids =
        SaveMany(kInbox, 5, [](int n) { return TTestMessage("Subject " + QByteArray::number(n)); });
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.setFocus();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(1).center());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, list.RowRect(2).center());
    ASSERT_TRUE(list.CanDelete());
    list.Delete();
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == 3 && list.UpdateCount() == 0; }));
    EXPECT_EQ(ColumnTexts(list, 0), Texts({"Subject 0", "Subject 3", "Subject 4"}));
    EXPECT_EQ(SelectedIds(list).size(), 1u);
    std::unique_ptr<TStoreFolder> bin;
    ASSERT_EQ(FStore->Namespace().OpenFolder(kDeletedItems, 0, bin), srOk);
    int deleted = 0;
    TMessageProps props;
    TEnumHandle handle = 0;
    for (TStoreResult r = bin->GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
         r = bin->GetNextMessage(handle, 0, props))
        ++deleted;
    bin->GetMessageClose(handle);
    EXPECT_EQ(deleted, 2);
}

TEST_F(MesgListCommands, InsideDeletedItemsANoKeepsEverything)
{
    Save(kDeletedItems, TTestMessage("Kept"));
    FWindow->Open(kDeletedItems);
    TMesgListView& list = List();
    int asked = 0;
    FWindow->Messages().OnConfirmDelete = [&](TOeMesgItems*) {
        ++asked;
        return false;
    };
    list.SetItemIndex(0);
    list.Delete();
    Settle(50);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(list.ItemCount(), 1);
    // Painting resumed although nothing was deleted.
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST_F(MesgListCommands, TheTreeAndTheListReferToEachOther)
{
    Save(kInbox, TTestMessage("One"));
    const TStoreId child = FStore->AddFolder(kInbox, "Child");
    TRecordingTree first;
    TRecordingTree second;
    TMesgListView& list = List();
    list.AttachTree(&first);
    EXPECT_EQ(first.Attached, std::vector<TMesgListView*>{&list});
    // Each folder, once loaded, brings the tree in line once.
    FWindow->Open(kInbox);
    EXPECT_EQ(first.Syncs, 1);
    FWindow->Open(child);
    EXPECT_EQ(first.Syncs, 2);
    list.SetMessageSort(msFromEmail);
    EXPECT_EQ(first.Syncs, 2);

    list.AttachTree(&second);
    EXPECT_EQ(first.Attached, (std::vector<TMesgListView*>{&list, nullptr}));
    EXPECT_EQ(second.Attached, std::vector<TMesgListView*>{&list});
    // A tree that goes first tells the list.
    list.ForgetTree(&first);
    EXPECT_EQ(list.Tree(), &second);
    list.ForgetTree(&second);
    EXPECT_EQ(list.Tree(), nullptr);
    list.AttachTree(&second);
    FWindow.reset();
    EXPECT_EQ(second.Attached.back(), nullptr);
}

} // namespace
