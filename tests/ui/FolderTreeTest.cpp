#include "tests/ui/FolderTreeTestSupport.h"

#include "ui/tree/FolderIcons.h"
#include "ui/tree/FolderNode.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QTest>

#include <functional>

namespace {

// Counts the selection changes the tree announces, with the last name.
struct TChanges
{
    explicit TChanges(TFolderTreeView& tree)
    {
        tree.OnChange = [this](TFolderTreeView*, const QString& name) {
            ++Count;
            Name = name;
        };
    }
    int Count = 0;
    QString Name;
};

bool HasVisiblePixels(const QIcon& icon, int size)
{
    const QImage image = icon.pixmap(size).toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

TEST_F(FolderTreeTest, FillsTheStoreInKindThenNameOrder)
{
    // A name that sorts before every special folder's still follows them.
    FOther->AddFolder(kRootFolderId, "aardvark");
    FTree->Refill();
    const TFolderNode* root = FTree->RootNode();
    ASSERT_TRUE(root);
    EXPECT_EQ(FTree->topLevelItemCount(), 1);
    EXPECT_EQ(root->text(0), QStringLiteral("Message store"));
    EXPECT_EQ(root->Id(), kRootFolderId);
    EXPECT_EQ(root->Kind(), 0);
    EXPECT_EQ(Dump(), QStringLiteral("Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, aardvark, "
                                     "Alpha{Beta}, zeta"));
    EXPECT_EQ(FTree->SelectedNode(), root);
    EXPECT_TRUE(FTree->NodeOf(FBeta)->parent()->isExpanded());
    const TFolderNode* inbox = FTree->NodeOf(kInbox);
    EXPECT_EQ(inbox->Name(), QStringLiteral("Inbox"));
    EXPECT_EQ(inbox->UnreadCount(), 3);
    EXPECT_EQ(inbox->MessageCount(), 5);
    EXPECT_EQ(inbox->Kind(), 1);
    EXPECT_EQ(FModel->Namespace().OpenEnumerationCount(), 0u);
}

TEST_F(FolderTreeTest, HintsTellTheCountsAndTheTreeWhatItShows)
{
    EXPECT_EQ(FTree->NodeOf(kInbox)->data(0, Qt::ToolTipRole).toString(), QStringLiteral("5 messages, 3 unread"));
    EXPECT_EQ(FTree->NodeOf(FZeta)->data(0, Qt::ToolTipRole).toString(), QStringLiteral("0 messages, 0 unread"));
    EXPECT_FALSE(FTree->RootNode()->data(0, Qt::ToolTipRole).isValid());
    EXPECT_EQ(FTree->toolTip(), QStringLiteral("Folders of the message store"));
    EXPECT_EQ(FTree->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(FolderTreeTest, EveryKindHasItsOwnIconThatDrawsAtAnySize)
{
    QList<qint64> keys;
    for (int kind = 0; kind <= 6; ++kind) {
        const QIcon icon = FolderIcon(kind);
        EXPECT_TRUE(HasVisiblePixels(icon, 16)) << "kind " << kind;
        EXPECT_TRUE(HasVisiblePixels(icon, 48)) << "kind " << kind;
        // A selected node shows its icon untinted.
        EXPECT_EQ(icon.pixmap(16, QIcon::Selected).toImage(), icon.pixmap(16).toImage()) << "kind " << kind;
        EXPECT_FALSE(keys.contains(icon.cacheKey())) << "kind " << kind;
        keys << icon.cacheKey();
    }
    EXPECT_EQ(FTree->NodeOf(kDeletedItems)->icon(0).cacheKey(), FolderIcon(4).cacheKey());
    EXPECT_EQ(FTree->NodeOf(FBeta)->icon(0).cacheKey(), FolderIcon(6).cacheKey());
}

struct TChangeCase
{
    const char* Name;
    std::function<void(FolderTreeTest&, TOEFolders& other)> Change;
    const char* Expected;
};

class FolderTreeChangeTest : public FolderTreeTest, public ::testing::WithParamInterface<TChangeCase>
{
};

// Every change another window makes reaches the tree through its own
// model's notifications.
TEST_P(FolderTreeChangeTest, FollowsChangesMadeByAnotherWindow)
{
    GetParam().Change(*this, *FOther);
    Drain();
    EXPECT_EQ(Dump(), QString::fromUtf8(GetParam().Expected));
    EXPECT_EQ(FModel->Namespace().OpenEnumerationCount(), 0u);
}

const TChangeCase kChangeCases[] = {
    {"CreatedFolderAppears", [](auto& t, auto& other) { other.AddFolder(t.FAlpha, "Gamma"); },
     "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta, Gamma}, zeta"},
    {"RenamedFolderTakesItsPlace", [](auto& t, auto& other) { other.RenameFolderId(t.FZeta, "Aardvark"); },
     "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Aardvark, Alpha{Beta}"},
    {"MovedFolderMoves", [](auto& t, auto& other) { other.MoveFolderId(t.FBeta, 1); },
     "Inbox (3){Beta, Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha, zeta"},
    {"DeletedFolderGoesToDeletedItems", [](auto& t, auto& other) { other.DeleteFolderId(t.FAlpha); },
     "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items{Alpha{Beta}}, Drafts, zeta"},
    {"FolderDeletedForGoodDisappears",
     [](auto& t, auto& other) {
         other.DeleteFolderId(t.FAlpha);
         other.DeleteFolderId(t.FAlpha);
     },
     "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, zeta"},
    {"MessagesMarkedReadLowerTheUnreadCount",
     [](auto&, auto& other) {
         std::unique_ptr<TStoreFolder> inbox;
         other.Namespace().OpenFolder(1, 0, inbox);
         TMessageIdList ids;
         TMessageProps props;
         TEnumHandle handle = 0;
         for (auto r = inbox->GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
              r = inbox->GetNextMessage(handle, 0, props))
             ids << props.Id;
         inbox->GetMessageClose(handle);
         inbox->MarkMessagesAsRead(true, 0, ids.mid(0, 2));
     },
     "Inbox (1){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta}, zeta"},
    {"AnUnreadMessageSavedShowsItsCount", [](auto& t, auto&) { t.SaveMessages(t.FZeta, 2, kMsgUnread); },
     "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta}, zeta (2)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FolderTreeChangeTest, ::testing::ValuesIn(kChangeCases), TCaseName());

TEST_F(FolderTreeTest, TheSelectionStaysOnAFolderThatIsRenamedOrMoved)
{
    ASSERT_TRUE(FTree->SelectFolder(FBeta));
    TChanges changes(*FTree);
    ASSERT_TRUE(FOther->RenameFolderId(FBeta, "Aaa"));
    ASSERT_TRUE(FOther->MoveFolderId(FBeta, kInbox));
    ASSERT_TRUE(FOther->AddFolder(kInbox, "Zzz") != kNoStoreId);
    Drain();
    ASSERT_TRUE(FTree->SelectedNode());
    EXPECT_EQ(FTree->SelectedNode()->Id(), FBeta);
    EXPECT_EQ(FTree->SelectedNode()->text(0), QStringLiteral("Aaa"));
    EXPECT_EQ(FTree->FolderId(), FBeta);
    EXPECT_EQ(Dump(FTree->NodeOf(kInbox)), QStringLiteral("Inbox (3){Aaa, Sub, Zzz}"));
    EXPECT_EQ(changes.Count, 0);
}

TEST_F(FolderTreeTest, AFolderDeletedWhileSelectedHandsTheSelectionToItsParent)
{
    const TStoreId old = FOther->AddFolder(kDeletedItems, "Old");
    const TStoreId older = FOther->AddFolder(old, "Older");
    Drain();
    ASSERT_TRUE(FTree->SelectFolder(older));
    TChanges changes(*FTree);
    ASSERT_TRUE(FOther->DeleteFolderId(old));   // inside Deleted Items: for good
    Drain();
    EXPECT_EQ(FTree->NodeOf(old), nullptr);
    EXPECT_EQ(FTree->NodeOf(older), nullptr);
    ASSERT_TRUE(FTree->SelectedNode());
    EXPECT_EQ(FTree->SelectedNode()->Id(), kDeletedItems);
    EXPECT_EQ(FTree->FolderId(), kDeletedItems);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(changes.Name, QStringLiteral("Deleted Items"));
}

TEST_F(FolderTreeTest, ANotificationForANodeTheTreeLacksRefreshesEverything)
{
    // The tree stops hearing the store for a while.
    auto listening = std::exchange(FModel->OnFolderChange, nullptr);
    ASSERT_TRUE(FOther->DeleteFolderId(FZeta));
    ASSERT_TRUE(FOther->DeleteFolderId(FZeta));
    const TStoreId fresh = FOther->AddFolder(FAlpha, "Fresh");
    Drain();
    EXPECT_EQ(Dump(), kInitialTree);
    FModel->OnFolderChange = listening;

    FTree->FolderChanged(fnRenamed, fresh + 100, fresh + 100);
    Drain();
    EXPECT_EQ(Dump(), QStringLiteral("Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta, Fresh}"));
}

TEST_F(FolderTreeTest, FolderIdIsSetAfterTheCurrentEventAndKeptOverTheRoot)
{
    TChanges changes(*FTree);
    FTree->SetFolderId(FBeta);
    EXPECT_EQ(FTree->FolderId(), kRootFolderId);   // not yet
    Drain();
    EXPECT_EQ(FTree->FolderId(), FBeta);
    EXPECT_EQ(changes.Name, QStringLiteral("Beta"));
    // The root is no folder of messages: the last folder is kept.
    FTree->setCurrentItem(FTree->RootNode());
    EXPECT_EQ(FTree->FolderId(), FBeta);
    EXPECT_FALSE(FTree->SelectFolder(4242));
    FTree->clearSelection();
    EXPECT_EQ(FTree->FolderId(), kRootFolderId);
}

struct TKeyCase
{
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    bool OnRoot;
    int Beeps;
};

class FolderTreeKeyTest : public FolderTreeTest, public ::testing::WithParamInterface<TKeyCase>
{
};

TEST_P(FolderTreeKeyTest, UpwardsFromTheFirstNodeBeeps)
{
    const TKeyCase& c = GetParam();
    FTree->setCurrentItem(c.OnRoot ? static_cast<QTreeWidgetItem*>(FTree->RootNode()) : FTree->NodeOf(FAlpha));
    QTest::keyClick(FTree.get(), c.Key, c.Modifiers);
    EXPECT_EQ(FBeeps.Count, c.Beeps);
}

const TKeyCase kKeyCases[] = {
    {"UpOnRoot", Qt::Key_Up, Qt::NoModifier, true, 1},
    {"HomeOnRoot", Qt::Key_Home, Qt::NoModifier, true, 1},
    {"ShiftUpOnRoot", Qt::Key_Up, Qt::ShiftModifier, true, 0},
    {"DownOnRoot", Qt::Key_Down, Qt::NoModifier, true, 0},
    {"UpElsewhere", Qt::Key_Up, Qt::NoModifier, false, 0},
    {"HomeElsewhere", Qt::Key_Home, Qt::NoModifier, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, FolderTreeKeyTest, ::testing::ValuesIn(kKeyCases), TCaseName());

TEST_F(FolderTreeTest, TheRightButtonPicksTheMenuNodeWithoutSelecting)
{
    ShowTree();
    ASSERT_TRUE(FTree->SelectFolder(FAlpha));
    int menus = 0;
    FTree->OnContextMenu = [&](TFolderTreeView*, const QPoint&) { ++menus; };
    RightClick(FTree->NodeOf(FZeta));
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(FTree->ContextNode(), FTree->NodeOf(FZeta));
    EXPECT_EQ(FTree->SelectedNode(), FTree->NodeOf(FAlpha));

    // From the keyboard the menu is about the selected node.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), FTree->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(FTree->viewport(), &key);
    EXPECT_EQ(menus, 2);
    EXPECT_EQ(FTree->ContextNode(), FTree->NodeOf(FAlpha));

    // A refresh that drops the node leaves no stale menu node behind.
    RightClick(FTree->NodeOf(FZeta));
    ASSERT_TRUE(FOther->DeleteFolderId(FZeta));
    ASSERT_TRUE(FOther->DeleteFolderId(FZeta));
    Drain();
    EXPECT_EQ(FTree->ContextNode(), nullptr);
}

TEST_F(FolderTreeTest, ACloneHoldsTheSameNodesAndSelection)
{
    ASSERT_TRUE(FTree->SelectFolder(FBeta));
    TFolderTreeView clone;
    clone.CloneFrom(*FTree);
    ASSERT_TRUE(clone.RootNode());
    EXPECT_EQ(clone.RootNode()->text(0), QStringLiteral("Message store"));
    EXPECT_EQ(clone.FolderId(), FBeta);
    const TFolderNode* inbox = clone.NodeOf(kInbox);
    ASSERT_TRUE(inbox);
    EXPECT_EQ(inbox->UnreadCount(), 3);
    EXPECT_EQ(Dump(inbox), QStringLiteral("Inbox (3){Sub}"));
    EXPECT_EQ(clone.topLevelItem(0)->childCount(), FTree->RootNode()->childCount());
}
