#include "tests/ui/DialogTestSupport.h"
#include "tests/ui/FolderTreeTestSupport.h"

#include "store/OeMesgItems.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/FolderTreeClipboard.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

namespace {

const QString kFolderFormat = QStringLiteral("application/x-vellumo-test-folder");
const QString kCutFormat = QStringLiteral("application/x-vellumo-test-cut");
const QString kMessagesFormat = QStringLiteral("application/x-vellumo-test-messages");

// Stands in for the internal clipboard: the folder goes onto the system
// clipboard in a format of its own; messages are a format that it accepts
// and records the pasting of.
class TFakeClipboard : public IFolderTreeClipboard
{
public:
    TFakeClipboard() : FPrevious(SetFolderTreeClipboard(this)) {}
    ~TFakeClipboard() override { SetFolderTreeClipboard(FPrevious); }

    void OfferFolder(QWidget*, TStoreId folder, Qt::DropAction effect) override
    {
        auto* data = new QMimeData;
        data->setData(kFolderFormat, QByteArray::number(folder));
        if (effect == Qt::MoveAction)
            data->setData(kCutFormat, "1");
        QGuiApplication::clipboard()->setMimeData(data);
    }
    void DragFolder(QWidget*, TStoreId folder) override { Dragged << folder; }
    [[nodiscard]] TStoreId OfferedFolder(const QMimeData* data) const override
    {
        return data && data->hasFormat(kFolderFormat) ? data->data(kFolderFormat).toUInt() : kNoStoreId;
    }
    [[nodiscard]] Qt::DropAction PasteEffect(const QMimeData* data) const override
    {
        return data && data->hasFormat(kCutFormat) ? Qt::MoveAction : Qt::CopyAction;
    }
    [[nodiscard]] bool AcceptsMessages(const QMimeData* data) const override
    {
        return data && data->hasFormat(kMessagesFormat);
    }
    Qt::DropAction PasteMessages(QWidget*, const QMimeData*, TStoreId folder, Qt::DropAction effect) override
    {
        PastedInto << folder;
        return effect;
    }
    void SetDropEffect(Qt::DropAction effect) override { Effects << effect; }
    bool RunWithProgress(QWidget*, TOEFolders&, const std::function<bool()>& task) override
    {
        ++ProgressRuns;
        return task();
    }

    QList<TStoreId> Dragged;
    QList<TStoreId> PastedInto;
    QList<Qt::DropAction> Effects;
    int ProgressRuns = 0;

private:
    IFolderTreeClipboard* FPrevious;
};

void PutMessagesOnClipboard()
{
    auto* data = new QMimeData;
    data->setData(kMessagesFormat, "3");
    QGuiApplication::clipboard()->setMimeData(data);
}

class FolderTreePasteTest : public FolderTreeTest
{
protected:
    void SetUp() override
    {
        QGuiApplication::clipboard()->clear();
        FolderTreeTest::SetUp();
    }
    [[nodiscard]] TStoreId ParentOf(TStoreId id) const { return FOther->FindParentId(id); }
    [[nodiscard]] int ChildCount(TStoreId id) const
    {
        int count = 0;
        FOther->ForEachChild(id, [&](const TFolderProps&) { return ++count > 0; });
        return count;
    }
    // Offers the folder as a copy or a cut through the tree's context menu node.
    void Offer(TStoreId folder, bool cut)
    {
        ASSERT_TRUE(FTree->SelectFolder(folder));
        if (cut)
            FTree->CutFolder();
        else
            FTree->CopyFolder();
        ASSERT_EQ(FFake.OfferedFolder(QGuiApplication::clipboard()->mimeData()), folder);
    }

    TFakeClipboard FFake;
    TCapturedBoxes FBoxes;
    TDialogAnswers FAnswers;
};

struct TRefusalCase
{
    const char* Name;
    const char* Target;   // "self", "child", "parent", "root-source"
};

class FolderTreeRefusalTest : public FolderTreePasteTest, public ::testing::WithParamInterface<TRefusalCase>
{
};

// A folder pasted onto itself, into its own subtree or onto its present
// parent, or the root pasted anywhere, is refused whether it is copied or
// moved, and the store stays as it was.
TEST_P(FolderTreeRefusalTest, ImpossibleFolderPastesAreRefused)
{
    const std::string target = GetParam().Target;
    TStoreId source = FAlpha;
    TStoreId onto = target == "self" ? FAlpha : target == "child" ? FBeta : kRootFolderId;
    if (target == "root-source") {
        source = kRootFolderId;
        onto = FZeta;
    }
    for (const Qt::DropAction effect : {Qt::MoveAction, Qt::CopyAction}) {
        EXPECT_EQ(FTree->PasteFolder(source, onto, effect), Qt::IgnoreAction);
        EXPECT_EQ(ParentOf(FAlpha), kRootFolderId);
        EXPECT_EQ(ChildCount(FBeta), 0);
        EXPECT_EQ(ChildCount(kRootFolderId), 7);
    }
    EXPECT_EQ(FFake.ProgressRuns, 0);
    EXPECT_TRUE(FBoxes.Texts.isEmpty());
}

const TRefusalCase kRefusalCases[] = {
    {"OntoItself", "self"},
    {"OntoItsOwnChild", "child"},
    {"OntoItsPresentParent", "parent"},
    {"TheRoot", "root-source"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FolderTreeRefusalTest, ::testing::ValuesIn(kRefusalCases), TCaseName());

TEST_F(FolderTreePasteTest, PastingAFolderOntoItsOwnChildIsRefusedThroughTheClipboard)
{
    Offer(FAlpha, true);
    ASSERT_TRUE(FTree->SelectFolder(FBeta));
    EXPECT_FALSE(FTree->CanPaste());
    FTree->Paste();
    EXPECT_EQ(FFake.Effects, QList<Qt::DropAction>{Qt::IgnoreAction});
    EXPECT_EQ(ParentOf(FAlpha), kRootFolderId);
    ASSERT_TRUE(FTree->SelectFolder(FZeta));
    EXPECT_TRUE(FTree->CanPaste());
}

TEST_F(FolderTreePasteTest, CutThenPasteMovesTheFolder)
{
    Offer(FAlpha, true);
    ASSERT_TRUE(FTree->SelectFolder(FZeta));
    FTree->Paste();
    EXPECT_EQ(ParentOf(FAlpha), FZeta);
    EXPECT_EQ(FFake.Effects, QList<Qt::DropAction>{Qt::MoveAction});
    Drain();
    EXPECT_EQ(Dump(), QStringLiteral("Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, zeta{Alpha{Beta}}"));
}

TEST_F(FolderTreePasteTest, CopyThenPasteCopiesTheSubtreeUnderProgress)
{
    SaveMessages(FBeta, 2, 0);
    Offer(FAlpha, false);
    // The context menu's node, not the selection, is the target of a context paste.
    ShowTree();
    ASSERT_TRUE(FTree->SelectFolder(FBeta));
    RightClick(FTree->NodeOf(FZeta));
    ASSERT_EQ(FTree->ContextNode(), FTree->NodeOf(FZeta));
    EXPECT_TRUE(FTree->ContextCanPaste());
    EXPECT_FALSE(FTree->CanPaste());   // the selection is Alpha's child
    FTree->ContextPaste();
    EXPECT_EQ(FFake.ProgressRuns, 1);
    EXPECT_EQ(FFake.Effects, QList<Qt::DropAction>{Qt::CopyAction});
    EXPECT_EQ(ParentOf(FAlpha), kRootFolderId);
    Drain();
    EXPECT_EQ(Dump(), QStringLiteral("Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta}, "
                                     "zeta{Alpha{Beta}}"));
    const TFolderNode* copy = FTree->NodeOf(FZeta)->ChildNode(0)->ChildNode(0);
    EXPECT_EQ(copy->MessageCount(), 2);
}

TEST_F(FolderTreePasteTest, OnlyFoldersButTheRootAreOfferedAndOnlyOrdinaryOnesCut)
{
    FTree->setCurrentItem(FTree->RootNode());
    FTree->CopyFolder();
    EXPECT_EQ(FFake.OfferedFolder(QGuiApplication::clipboard()->mimeData()), kNoStoreId);
    ASSERT_TRUE(FTree->SelectFolder(kInbox));
    FTree->CutFolder();
    EXPECT_EQ(FFake.OfferedFolder(QGuiApplication::clipboard()->mimeData()), kNoStoreId);
    FTree->CopyFolder();
    EXPECT_EQ(FFake.OfferedFolder(QGuiApplication::clipboard()->mimeData()), kInbox);
}

TEST_F(FolderTreePasteTest, MessagesArePastedIntoTheTargetFolder)
{
    PutMessagesOnClipboard();
    ASSERT_TRUE(FTree->SelectFolder(FZeta));
    EXPECT_TRUE(FTree->CanPaste());
    FTree->Paste();
    EXPECT_EQ(FFake.PastedInto, QList<TStoreId>{FZeta});
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(FTree->CanPaste());
}

// Drops land on the node under the mouse, not on the selected one.
TEST_F(FolderTreePasteTest, DropsGoToTheNodeUnderTheMouse)
{
    ShowTree();
    ASSERT_TRUE(FTree->SelectFolder(FZeta));
    // Shift proposes a move, as with a real drag.
    const auto drop = [&](TStoreId onto, const QMimeData& data, Qt::KeyboardModifiers modifiers) {
        const QPoint at = FTree->visualItemRect(FTree->NodeOf(onto)).center();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(FTree->viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(FTree->viewport(), &move);
        const bool accepted = move.isAccepted();
        QDropEvent event(at, actions, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(FTree->viewport(), &event);
        EXPECT_EQ(event.isAccepted(), accepted);
        return accepted ? event.dropAction() : Qt::IgnoreAction;
    };
    QMimeData messages;
    messages.setData(kMessagesFormat, "1");
    EXPECT_EQ(drop(kInbox, messages, Qt::NoModifier), Qt::CopyAction);
    EXPECT_EQ(FFake.PastedInto, QList<TStoreId>{kInbox});

    QMimeData folder;
    folder.setData(kFolderFormat, QByteArray::number(FAlpha));
    EXPECT_EQ(drop(FBeta, folder, Qt::ShiftModifier), Qt::IgnoreAction);
    EXPECT_EQ(ParentOf(FAlpha), kRootFolderId);
    EXPECT_EQ(drop(kInbox, folder, Qt::ShiftModifier), Qt::MoveAction);
    EXPECT_EQ(ParentOf(FAlpha), kInbox);

    QMimeData other;
    other.setText(QStringLiteral("plain text"));
    EXPECT_EQ(drop(FZeta, other, Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_EQ(FTree->SelectedNode(), FTree->NodeOf(FZeta));
}

TEST_F(FolderTreePasteTest, DraggingANodeDragsItsFolderButNeverTheRoot)
{
    ShowTree();
    const auto drag = [&](const QTreeWidgetItem* node) {
        const QPoint from = FTree->visualItemRect(node).center();
        QTest::mousePress(FTree->viewport(), Qt::LeftButton, Qt::NoModifier, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(FTree->viewport(), from + QPoint(0, step * QApplication::startDragDistance()));
        QTest::mouseRelease(FTree->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    };
    drag(FTree->RootNode());
    EXPECT_TRUE(FFake.Dragged.isEmpty());
    drag(FTree->NodeOf(FBeta));
    EXPECT_EQ(FFake.Dragged, QList<TStoreId>{FBeta});
}

TEST_F(FolderTreePasteTest, DeletingMovesToDeletedItemsAndAsksOnlyThere)
{
    TOeMesgItems collection;
    int asked = 0;
    bool answer = false;
    collection.OnConfirmDelete = [&](TOeMesgItems*) {
        ++asked;
        return answer;
    };
    FTree->AttachCollection(&collection);
    ASSERT_TRUE(FTree->SelectFolder(FBeta));
    EXPECT_TRUE(FTree->DeleteNode(FTree->NodeOf(FBeta)));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(FTree->SelectedNode(), FTree->NodeOf(FAlpha));   // the parent takes the selection
    EXPECT_EQ(ParentOf(FBeta), kDeletedItems);
    Drain();
    EXPECT_EQ(Dump(FTree->NodeOf(kDeletedItems)), QStringLiteral("Deleted Items{Beta}"));
    EXPECT_EQ(FTree->SelectedNode(), FTree->NodeOf(FAlpha));

    // Inside Deleted Items a deletion is final and asked for.
    EXPECT_FALSE(FTree->DeleteNode(FTree->NodeOf(FBeta)));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(FOther->FolderExists(FBeta));
    answer = true;
    EXPECT_TRUE(FTree->DeleteNode(FTree->NodeOf(FBeta)));
    EXPECT_FALSE(FOther->FolderExists(FBeta));
    EXPECT_EQ(FTree->NodeOf(FBeta), nullptr);

    // The special folders and the root stay.
    EXPECT_FALSE(FTree->DeleteNode(FTree->NodeOf(kInbox)));
    EXPECT_FALSE(FTree->DeleteNode(FTree->RootNode()));
    EXPECT_FALSE(FTree->DeleteNode(nullptr));
    EXPECT_TRUE(FTree->NodeOf(kInbox));
}

TEST_F(FolderTreePasteTest, ARenameTheStoreRefusesShowsTheErrorAndChangesNothing)
{
    TFolderNode* node = FTree->NodeOf(FAlpha);
    EXPECT_FALSE(FTree->RenameFolder(node, QString(300, QLatin1Char('x'))));
    ASSERT_EQ(FAnswers.Boxes.size(), 1);
    EXPECT_TRUE(FAnswers.Boxes[0].startsWith(QStringLiteral("The folder \"Alpha\" could not be renamed to \"xxx")))
        << FAnswers.Boxes[0].toStdString();
    EXPECT_TRUE(FTree->RenameFolder(node, QStringLiteral("Omega")));
    Drain();
    EXPECT_EQ(FTree->NodeOf(FAlpha)->text(0), QStringLiteral("Omega"));
    EXPECT_EQ(FAnswers.Boxes.size(), 1);
}

TEST_F(FolderTreePasteTest, NothingIsPastedWhileTheListLoads)
{
    TOeMesgItems collection;
    FTree->AttachCollection(&collection);
    PutMessagesOnClipboard();
    ASSERT_TRUE(FTree->SelectFolder(FZeta));
    EXPECT_TRUE(FTree->CanPaste());
    collection.SetLoading(true);
    EXPECT_FALSE(FTree->CanPaste());
    collection.SetLoading(false);
}

// The tree and its collection follow each other: the side with the focus leads.
TEST_F(FolderTreePasteTest, TheCollectionOpensWhatTheFocusedTreeSelects)
{
    TActiveWindow window;
    auto* tree = new TOETreeView(&window);
    auto* elsewhere = new QLineEdit(&window);
    window.layout()->addWidget(tree);
    window.layout()->addWidget(elsewhere);
    auto collection = std::make_unique<TOeMesgItems>();
    tree->AttachCollection(collection.get());
    EXPECT_EQ(tree->Folders(), &collection->Folders());
    window.Activate();

    FocusOn(elsewhere);
    ASSERT_TRUE(tree->SelectFolder(FZeta));   // no focus: the collection stays
    Settle(50);
    EXPECT_EQ(collection->FolderId(), kNoStoreId);

    FocusOn(tree);
    ASSERT_TRUE(tree->SelectFolder(FBeta));
    EXPECT_TRUE(WaitUntil([&] { return collection->FolderId() == FBeta; }));

    // The collection moves elsewhere; the unfocused tree follows it.
    FocusOn(elsewhere);
    collection->SetFolderId(kInbox);
    ASSERT_TRUE(WaitUntil([&] { return collection->FolderId() == kInbox; }));
    tree->SyncWithCollection();
    EXPECT_EQ(tree->FolderId(), kInbox);

    // The collection's folder changes reach the tree.
    FOther->AddFolder(FZeta, "Inner");
    EXPECT_TRUE(WaitUntil([&] { return tree->NodeOf(FZeta)->childCount() == 1; }));

    // A collection that goes first leaves the tree without a model, not dangling.
    collection.reset();
    EXPECT_EQ(tree->Folders(), nullptr);
    EXPECT_EQ(tree->Collection(), nullptr);
    FOther->AddFolder(FZeta, "Later");
    Settle(50);
    EXPECT_FALSE(tree->CanPaste());
    EXPECT_FALSE(tree->DeleteNode(tree->NodeOf(FZeta)));
}

} // namespace
