#pragma once

#include "store/OEFolders.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/tree/OETreeView.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class TFolderNode;

// Test output shows texts as texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A new store with a few folders beside the special ones, a store folder
// tree over a folder model of its own, and `FOther`, another window's
// folder model on the same store, through which tests change the store
// behind the tree's back:
//     Inbox (3 unread, 5 messages) { Sub }, Alpha { Beta }, zeta
class FolderTreeTest : public ::testing::Test
{
public:
    static constexpr TStoreId kInbox = 1;
    static constexpr TStoreId kDeletedItems = 4;

    void SetUp() override;

    // The tree below the root as "Caption{Child, Child}, Caption", in tree order.
    [[nodiscard]] QString Dump() const;
    [[nodiscard]] static QString Dump(const TFolderNode* node);
    // Runs the queued notifications and the tree requests they post.
    static void Drain();
    // Shows the tree as an active window, tall enough for every node.
    void ShowTree();
    // A right-button press on the node, and the context menu request that
    // the window system sends with it.
    void RightClick(const QTreeWidgetItem* node);
    // Saves messages into the folder through the other model.
    void SaveMessages(TStoreId folder, int count, quint32 state);

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    std::unique_ptr<TOEFolders> FOther;
    std::unique_ptr<TOEFolders> FModel;
    std::unique_ptr<TOETreeView> FTree;
    TStoreId FSub = kNoStoreId;
    TStoreId FAlpha = kNoStoreId;
    TStoreId FBeta = kNoStoreId;
    TStoreId FZeta = kNoStoreId;
};

// The tree's initial Dump().
inline const QString kInitialTree = QStringLiteral(
    "Inbox (3){Sub}, Outbox, Sent Items, Deleted Items, Drafts, Alpha{Beta}, zeta");
