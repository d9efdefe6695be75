#include "ui/tree/FolderNode.h"

#include "settings/GlobStrings.h"
#include "store/FolderEntries.h"
#include "ui/tree/FolderIcons.h"

TFolderNode::TFolderNode()
    : QTreeWidgetItem(kNodeType)
{
}

void TFolderNode::Assign(const TFolderEntry& entry)
{
    FId = entry.Id;
    FKind = entry.Kind;
    FName = entry.Name;
    FMessageCount = entry.MessageCount;
    FUnreadCount = entry.UnreadCount;
    const QString caption = FolderCaption(FName, FUnreadCount);
    if (text(0) != caption)
        setText(0, caption);
    if (icon(0).cacheKey() != FolderIcon(FKind).cacheKey())
        setIcon(0, FolderIcon(FKind));
}

void TFolderNode::MakeRoot(const QString& caption)
{
    FId = kRootFolderId;
    FKind = 0;
    FName.clear();
    setText(0, caption);
    setIcon(0, FolderIcon(FKind));
}

TFolderNode* TFolderNode::ParentNode() const
{
    return static_cast<TFolderNode*>(parent());
}

TFolderNode* TFolderNode::ChildNode(int index) const
{
    return static_cast<TFolderNode*>(child(index));
}

TFolderNode* TFolderNode::ChildById(TStoreId id) const
{
    for (int i = 0; i < childCount(); ++i)
        if (ChildNode(i)->Id() == id)
            return ChildNode(i);
    return nullptr;
}

bool TFolderNode::Contains(const QTreeWidgetItem* node) const
{
    for (; node; node = node->parent())
        if (node == this)
            return true;
    return false;
}

bool TFolderNode::operator<(const QTreeWidgetItem& other) const
{
    const auto& node = static_cast<const TFolderNode&>(other);
    return FolderSortsBefore(FKind, FName, node.FKind, node.FName);
}

QVariant TFolderNode::data(int column, int role) const
{
    // The root has no counts; the tree's own hint stands for it.
    if (role == Qt::ToolTipRole && FKind != 0) {
        TGlobStrings& strings = Lang();
        return TGlobStrings::FormatText(strings.SectionValue(QStringLiteral("MesgExpl"), QStringLiteral("StatusBar")),
                                        {FMessageCount, FUnreadCount});
    }
    return QTreeWidgetItem::data(column, role);
}

QTreeWidgetItem* TFolderNode::clone() const
{
    auto* copy = new TFolderNode(*this);
    // QTreeWidgetItem's copy takes neither parent nor children: clone them.
    for (int i = 0; i < childCount(); ++i)
        copy->addChild(child(i)->clone());
    return copy;
}
