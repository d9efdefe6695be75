#include "ui/dialogs/FolderChooser.h"

#include "settings/GlobStrings.h"
#include "store/FolderEntries.h"

#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kIdRole = Qt::UserRole;

QTreeWidgetItem* FindItem(QTreeWidgetItem* item, TStoreId id)
{
    if (item->data(0, kIdRole).toUInt() == id)
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem* found = FindItem(item->child(i), id))
            return found;
    return nullptr;
}

} // namespace

TFolderChooser::TFolderChooser(const QString& caption, const QString& label, TOEFolder& folders, TStoreId selected)
    : TDialog(caption)
    , FTree(nullptr)
{
    setObjectName(QStringLiteral("FolderChooser"));
    AddText(label);
    FTree = AddControl<QTreeWidget>(QString());
    FTree->setObjectName(QStringLiteral("FolderTree"));
    FTree->setHeaderHidden(true);
    FTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FTree->setAccessibleName(label);
    Fill(folders);
    // Nine text rows high; the row after the tree follows its bottom.
    const int rows = 9 * std::max(FTree->sizeHintForRow(0), Units().CharHeight) + 2 * FTree->frameWidth();
    FTree->resize(FTree->width(), rows);
    SetCursorY(FTree->geometry().bottom() + 1 + Units().CharHeight);
    SelectFolder(selected);
    connect(FTree, &QTreeWidget::itemDoubleClicked, this, &TFolderChooser::Confirm);
    AddOkCancel();
}

void TFolderChooser::Fill(TOEFolder& folders)
{
    auto* root = new QTreeWidgetItem(FTree, {Lang().SectionValue(QStringLiteral("Program"), QStringLiteral("RootNode"))});
    root->setData(0, kIdRole, kRootFolderId);
    AddChildren(folders, root, kRootFolderId);
    FTree->expandAll();
}

void TFolderChooser::AddChildren(TOEFolder& folders, QTreeWidgetItem* parent, TStoreId parentId)
{
    for (const TFolderEntry& child : SortedChildren(folders, parentId)) {
        auto* item = new QTreeWidgetItem(parent, {FolderCaption(child.Name, child.UnreadCount)});
        item->setData(0, kIdRole, child.Id);
        AddChildren(folders, item, child.Id);
    }
}

TStoreId TFolderChooser::SelectedFolder() const
{
    const QTreeWidgetItem* item = FTree->currentItem();
    return item && item->isSelected() ? item->data(0, kIdRole).toUInt() : kNoStoreId;
}

void TFolderChooser::SelectFolder(TStoreId id)
{
    QTreeWidgetItem* root = FTree->topLevelItem(0);
    QTreeWidgetItem* item = root ? FindItem(root, id) : nullptr;
    if (!item)
        item = root;
    FTree->setCurrentItem(item);
    FTree->scrollToItem(item);
}

TStoreId TFolderChooser::Choose()
{
    return RunDialog() ? SelectedFolder() : kNoStoreId;
}
