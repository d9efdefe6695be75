#include "ui/dialogs/FolderChooser.h"

#include "settings/GlobStrings.h"
#include "settings/SystemCodePage.h"
#include "store/OEFolder.h"

#include <QCollator>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kIdRole = Qt::UserRole;

struct TChild
{
    TStoreId Id;
    int Kind;
    QString Name;
    int Unread;
};

const QCollator& NameCollator()
{
    static const QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator made(locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

QString Caption(const TChild& child)
{
    return child.Unread > 0 ? QStringLiteral("%1 (%2)").arg(child.Name).arg(child.Unread) : child.Name;
}

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
    std::vector<TChild> children;
    folders.ForEachChild(parentId, [&children](const TFolderProps& props) {
        children.push_back({props.Id, FolderKind(props.Id, props.SpecialType), DecodeSystemText(props.Name),
                            props.UnreadCount});
        return true;
    });
    std::sort(children.begin(), children.end(), [](const TChild& a, const TChild& b) {
        return a.Kind != b.Kind ? a.Kind < b.Kind : NameCollator().compare(a.Name, b.Name) < 0;
    });
    for (const TChild& child : children) {
        auto* item = new QTreeWidgetItem(parent, {Caption(child)});
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
