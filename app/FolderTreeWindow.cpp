#include "app/FolderTreeWindow.h"

#include "store/OEFolders.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

TFolderTreeWindow::TFolderTreeWindow(QWidget* parent)
    : QWidget(parent)
    , FFolders(std::make_unique<TOEFolders>())
    , FTree(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Vellumo"));
    FTree->setColumnCount(3);
    FTree->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Unread"), QStringLiteral("Total")});
    FTree->header()->setStretchLastSection(false);
    FTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FTree);
    FFolders->OnFolderChange = [this](int, TStoreId, TStoreId) { Refresh(); };
    resize(480, 360);
    Refresh();
}

TFolderTreeWindow::~TFolderTreeWindow() = default;

void TFolderTreeWindow::Refresh()
{
    FTree->clear();
    AddChildren(FTree->invisibleRootItem(), kRootFolderId);
    FTree->expandAll();
}

void TFolderTreeWindow::AddChildren(QTreeWidgetItem* parent, quint32 folderId)
{
    FFolders->ForEachChild(folderId, [&](const TFolderProps& props) {
        auto* item = new QTreeWidgetItem(parent);
        // Folder names are 8-bit text; Latin-1 shows every byte until the
        // system code page conversion is in place.
        item->setText(0, QString::fromLatin1(props.Name));
        item->setText(1, QString::number(props.UnreadCount));
        item->setText(2, QString::number(props.MessageCount));
        AddChildren(item, props.Id);
        return true;
    });
}
