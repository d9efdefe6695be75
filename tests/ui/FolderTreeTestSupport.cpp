#include "tests/ui/FolderTreeTestSupport.h"

#include "tests/support/TestEnvironment.h"
#include "ui/tree/FolderNode.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QTest>

void FolderTreeTest::SetUp()
{
    qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
    FOther = std::make_unique<TOEFolders>();
    FSub = FOther->AddFolder(kInbox, "Sub");
    FAlpha = FOther->AddFolder(kRootFolderId, "Alpha");
    FBeta = FOther->AddFolder(FAlpha, "Beta");
    FZeta = FOther->AddFolder(kRootFolderId, "zeta");
    SaveMessages(kInbox, 3, kMsgUnread);
    SaveMessages(kInbox, 2, 0);
    FModel = std::make_unique<TOEFolders>();
    FTree = std::make_unique<TOETreeView>();
    FTree->SetFolders(FModel.get());
    // What the tree was built with is known: the notifications of the
    // set-up are no news to it.
    Drain();
    ASSERT_EQ(Dump(), kInitialTree);
}

QString FolderTreeTest::Dump() const
{
    const TFolderNode* root = FTree->RootNode();
    if (!root)
        return QStringLiteral("<no root>");
    QStringList children;
    for (int i = 0; i < root->childCount(); ++i)
        children << Dump(root->ChildNode(i));
    return children.join(QStringLiteral(", "));
}

QString FolderTreeTest::Dump(const TFolderNode* node)
{
    QString text = node->text(0);
    if (node->childCount() > 0) {
        QStringList children;
        for (int i = 0; i < node->childCount(); ++i)
            children << Dump(node->ChildNode(i));
        text += QLatin1Char('{') + children.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    return text;
}

void FolderTreeTest::Drain()
{
    // A notification posts a tree request, which runs in a later pass.
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::sendPostedEvents();
}

void FolderTreeTest::ShowTree()
{
    FTree->resize(300, 400);
    FTree->show();
    FTree->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FTree.get()));
}

void FolderTreeTest::RightClick(const QTreeWidgetItem* node)
{
    const QPoint at = FTree->visualItemRect(node).center();
    QTest::mousePress(FTree->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, FTree->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(FTree->viewport(), &menu);
    QTest::mouseRelease(FTree->viewport(), Qt::RightButton, Qt::NoModifier, at);
}

void FolderTreeTest::SaveMessages(TStoreId folder, int count, quint32 state)
{
    std::unique_ptr<TStoreFolder> open;
    ASSERT_EQ(FOther->Namespace().OpenFolder(folder, 0, open), srOk);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(open->SaveMessage("Subject: " + QByteArray::number(i) + "\r\n\r\nx\r\n", state, nullptr), srOk);
}
