#include "store/OEFolders.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/dialogs/FolderChooser.h"

#include <QFile>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

constexpr TStoreId kInbox = 1;

// A new store with a few folders of their own beside the special ones.
class FolderChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FFolders = std::make_unique<TOEFolders>();
        FZeta = FFolders->AddFolder(kRootFolderId, "zeta");
        FAlpha = FFolders->AddFolder(kRootFolderId, "Alpha");
        FInner = FFolders->AddFolder(kInbox, "inner");
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(FFolders->Namespace().OpenFolder(kInbox, 0, inbox), srOk);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(inbox->SaveMessage("Subject: x\r\n\r\nx\r\n", kMsgUnread, nullptr), srOk);
    }

    [[nodiscard]] static QStringList Captions(const QTreeWidgetItem* parent)
    {
        QStringList captions;
        for (int i = 0; i < parent->childCount(); ++i)
            captions << parent->child(i)->text(0);
        return captions;
    }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TDialogAnswers FAnswers;
    std::unique_ptr<TOEFolders> FFolders;
    TStoreId FZeta = kNoStoreId;
    TStoreId FAlpha = kNoStoreId;
    TStoreId FInner = kNoStoreId;
};

TEST_F(FolderChooserTest, ShowsTheStoreInTheFolderTreesOrder)
{
    TFolderChooser chooser(QStringLiteral("Copy to folder"), QStringLiteral("Choose the target folder:"), *FFolders,
                           FInner);
    const QTreeWidgetItem* root = chooser.Tree()->topLevelItem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->text(0), QStringLiteral("Message store"));
    // Special folders first, then the others by name, letter case ignored.
    EXPECT_EQ(Captions(root), (QStringList{QStringLiteral("Inbox (3)"), QStringLiteral("Outbox"),
                                           QStringLiteral("Sent Items"), QStringLiteral("Deleted Items"),
                                           QStringLiteral("Drafts"), QStringLiteral("Alpha"), QStringLiteral("zeta")}));
    EXPECT_EQ(Captions(root->child(0)), QStringList{QStringLiteral("inner")});
    EXPECT_TRUE(root->child(0)->isExpanded());
    EXPECT_EQ(chooser.SelectedFolder(), FInner);
    EXPECT_EQ(FFolders->Namespace().OpenEnumerationCount(), 0u);
}

TEST_F(FolderChooserTest, ReturnsTheChosenFolderOnOkOnly)
{
    TFolderChooser chooser(QStringLiteral("Move to folder"), QStringLiteral("Folder:"), *FFolders, FInner);
    FAnswers.Then([this](TDialog& dialog) {
        auto& shown = static_cast<TFolderChooser&>(dialog);
        for (const std::string& fault : LayoutFaults(&shown))
            ADD_FAILURE() << fault;
        shown.SelectFolder(FAlpha);
        Click(shown.OkButton());
    });
    EXPECT_EQ(chooser.Choose(), FAlpha);

    TFolderChooser cancelled(QStringLiteral("Move to folder"), QStringLiteral("Folder:"), *FFolders, FZeta);
    FAnswers.Then([](TDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(cancelled.Choose(), kNoStoreId);
}

TEST_F(FolderChooserTest, AnUnknownFolderSelectsTheRoot)
{
    TFolderChooser chooser(QStringLiteral("Copy"), QStringLiteral("Folder:"), *FFolders, 4242);
    EXPECT_EQ(chooser.SelectedFolder(), kRootFolderId);
    // Nine rows of the tree show at once.
    EXPECT_GE(chooser.Tree()->height(), 9 * chooser.Tree()->sizeHintForRow(0));
}

} // namespace
