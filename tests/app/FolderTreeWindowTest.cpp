#include "app/FolderTreeWindow.h"

#include "store/OEFolders.h"
#include "tests/support/TestEnvironment.h"
#include "ui/mesglist/MesgListView.h"

#include <QFile>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void SaveMessage(TOEFolders& store, TStoreId folder, const QByteArray& subject)
{
    std::unique_ptr<TStoreFolder> open;
    ASSERT_EQ(store.Namespace().OpenFolder(folder, 0, open), srOk);
    const QByteArray source = "From: a@example.org\r\nSubject: " + subject + "\r\n\r\nBody\r\n";
    ASSERT_EQ(open->SaveMessage(source, kMsgUnread, nullptr), srOk);
}

TEST(FolderTreeWindow, TheFolderChosenInTheTreeIsListedAndStaysChosenWhenFoldersChange)
{
    qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
    TOEFolders store;
    const TStoreId projects = store.AddFolder(1, "Projects");
    SaveMessage(store, projects, "First");
    SaveMessage(store, projects, "Second");
    SaveMessage(store, 1, "In the inbox");

    TFolderTreeWindow window;
    window.show();
    TMesgListView& list = window.List();
    ASSERT_TRUE(window.ChooseFolder(projects));
    EXPECT_TRUE(WaitUntil([&] { return list.ItemCount() == 2 && list.IsReady(); }));

    // A new folder rebuilds the tree; the list keeps its folder.
    store.AddFolder(1, "Other");
    EXPECT_TRUE(WaitUntil([&] { return window.Tree().findItems(QStringLiteral("Other"), Qt::MatchRecursive).size() == 1; }));
    ASSERT_NE(window.Tree().currentItem(), nullptr);
    EXPECT_EQ(window.Tree().currentItem()->text(0), QStringLiteral("Projects"));
    EXPECT_EQ(list.ItemCount(), 2);

    ASSERT_TRUE(window.ChooseFolder(1));
    EXPECT_TRUE(WaitUntil([&] { return list.ItemCount() == 1 && list.IsReady(); }));
}

} // namespace
