#include "ui/tree/FolderTreeView.h"

#include "base/PrivateMessages.h"
#include "settings/GlobStrings.h"
#include "ui/Beep.h"
#include "ui/tree/FolderNode.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QPainter>
#include <QTreeWidgetItemIterator>

namespace {

// The folder id of a queued selection request.
class TSelectFolderEvent : public QEvent
{
public:
    explicit TSelectFolderEvent(TStoreId id) : QEvent(EventType(pmOpenFolder)), Id(id) {}
    TStoreId Id;
};

constexpr int kIndentPixels = 16;

} // namespace

TFolderTreeView::TFolderTreeView(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("FolderTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIndentation(kIndentPixels);
    setUniformRowHeights(true);
    setFrameShape(QFrame::StyledPanel);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    // Deep or long names scroll sideways rather than being cut short; the
    // column is never narrower than the tree, so selections span it.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const QString hint = Lang().HintText(QStringLiteral("FolderTree"));
    setToolTip(hint);
    setAccessibleName(hint);
    connect(this, &QTreeWidget::currentItemChanged, this, &TFolderTreeView::CurrentChanged);
}

TFolderTreeView::~TFolderTreeView() = default;

TStoreId TFolderTreeView::FolderId() const
{
    const TFolderNode* node = SelectedNode();
    if (!node)
        return kRootFolderId;
    return node->Name().isEmpty() ? FLastFolderId : node->Id();
}

void TFolderTreeView::SetFolderId(TStoreId id)
{
    QCoreApplication::postEvent(this, new TSelectFolderEvent(id));
}

bool TFolderTreeView::SelectFolder(TStoreId id)
{
    FLastFolderId = id;
    TFolderNode* node = NodeOf(id);
    if (!node)
        return false;
    setCurrentItem(node);
    scrollToItem(node);
    return true;
}

TFolderNode* TFolderTreeView::RootNode() const
{
    return static_cast<TFolderNode*>(topLevelItem(0));
}

TFolderNode* TFolderTreeView::SelectedNode() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<TFolderNode*>(selected.first());
}

TFolderNode* TFolderTreeView::NodeOf(TStoreId id) const
{
    for (QTreeWidgetItemIterator it(const_cast<TFolderTreeView*>(this)); *it; ++it)
        if (static_cast<TFolderNode*>(*it)->Id() == id)
            return static_cast<TFolderNode*>(*it);
    return nullptr;
}

TFolderNode* TFolderTreeView::ContextNode() const
{
    return static_cast<TFolderNode*>(itemFromIndex(FContextIndex));
}

TFolderNode* TFolderTreeView::OperationNode() const
{
    return FContextOperation ? ContextNode() : SelectedNode();
}

void TFolderTreeView::CloneFrom(const TFolderTreeView& other)
{
    BeginUpdate();
    clear();
    for (int i = 0; i < other.topLevelItemCount(); ++i)
        addTopLevelItem(other.topLevelItem(i)->clone());
    sortItems(0, Qt::AscendingOrder);
    expandAll();
    if (!SelectFolder(other.FolderId()))
        setCurrentItem(RootNode());
    EndUpdate();
}

bool TFolderTreeView::DeleteNode(TFolderNode*)
{
    return false;
}

void TFolderTreeView::CopyFolder() {}

void TFolderTreeView::CutFolder() {}

bool TFolderTreeView::CanPaste()
{
    return false;
}

void TFolderTreeView::Paste() {}

void TFolderTreeView::RunOnContextNode(const std::function<void()>& command)
{
    // The flag is restored on every way out, an exception's included.
    struct TRestore
    {
        bool& Flag;
        bool Saved;
        ~TRestore() { Flag = Saved; }
    } restore{FContextOperation, std::exchange(FContextOperation, true)};
    command();
}

void TFolderTreeView::ContextCopyFolder()
{
    RunOnContextNode([this] { CopyFolder(); });
}

void TFolderTreeView::ContextCutFolder()
{
    RunOnContextNode([this] { CutFolder(); });
}

bool TFolderTreeView::ContextCanPaste()
{
    bool can = false;
    RunOnContextNode([&] { can = CanPaste(); });
    return can;
}

void TFolderTreeView::ContextPaste()
{
    RunOnContextNode([this] { Paste(); });
}

void TFolderTreeView::FolderSelected(TFolderNode* node)
{
    if (node && !node->Name().isEmpty())
        FLastFolderId = node->Id();
    if (OnChange)
        OnChange(this, node ? node->Name() : QString());
}

void TFolderTreeView::SyncList() {}

void TFolderTreeView::StartDrag() {}

Qt::DropAction TFolderTreeView::DropEffect(const QMimeData*, TFolderNode*, Qt::DropAction)
{
    return Qt::IgnoreAction;
}

Qt::DropAction TFolderTreeView::Drop(const QMimeData*, TFolderNode*, Qt::DropAction)
{
    return Qt::IgnoreAction;
}

void TFolderTreeView::BeginUpdate()
{
    if (FUpdateCount++ == 0) {
        FSelectedBeforeUpdate = SelectedNode() ? SelectedNode()->Id() : kNoStoreId;
        setUpdatesEnabled(false);
    }
}

void TFolderTreeView::EndUpdate()
{
    if (--FUpdateCount > 0)
        return;
    setUpdatesEnabled(true);
    TFolderNode* selected = SelectedNode();
    if ((selected ? selected->Id() : kNoStoreId) != FSelectedBeforeUpdate)
        FolderSelected(selected);
}

void TFolderTreeView::RemoveNode(TFolderNode* node)
{
    if (!node)
        return;
    TFolderNode* parent = node->ParentNode();
    if (parent && node->Contains(currentItem()))
        setCurrentItem(parent);
    delete node;
}

void TFolderTreeView::CurrentChanged(QTreeWidgetItem* current)
{
    // A batch announces its outcome once, at its end.
    if (FUpdateCount == 0)
        FolderSelected(static_cast<TFolderNode*>(current));
}

bool TFolderTreeView::event(QEvent* event)
{
    if (event->type() == EventType(pmOpenFolder)) {
        SelectFolder(static_cast<const TSelectFolderEvent*>(event)->Id);
        return true;
    }
    if (event->type() == EventType(pmListFollowTree)) {
        SyncList();
        return true;
    }
    return QTreeWidget::event(event);
}

void TFolderTreeView::keyPressEvent(QKeyEvent* event)
{
    const bool upwards = event->key() == Qt::Key_Home || event->key() == Qt::Key_Up;
    if (upwards && event->modifiers() == Qt::NoModifier && currentItem() && currentItem() == topLevelItem(0))
        Beep();
    QTreeWidget::keyPressEvent(event);
}

void TFolderTreeView::mousePressEvent(QMouseEvent* event)
{
    // The right button opens the folder menu on the node under the mouse
    // without selecting it.
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        QCoreApplication::postEvent(this, new QEvent(EventType(pmListFollowTree)));
}

void TFolderTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    QTreeWidgetItem* node = nullptr;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = SelectedNode();
        if (node)
            at = viewport()->mapToGlobal(visualItemRect(node).center());
    } else {
        node = itemAt(viewport()->mapFromGlobal(event->globalPos()));
    }
    FContextIndex = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    event->accept();
    if (OnContextMenu)
        OnContextMenu(this, at);
}

void TFolderTreeView::startDrag(Qt::DropActions)
{
    if (SelectedNode())
        StartDrag();
}

bool TFolderTreeView::AcceptDrag(QDropEvent* event)
{
    auto* node = static_cast<TFolderNode*>(itemAt(event->position().toPoint()));
    const Qt::DropAction effect = node ? DropEffect(event->mimeData(), node, event->proposedAction()) : Qt::IgnoreAction;
    SetDropNode(effect == Qt::IgnoreAction ? nullptr : node);
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return false;
    }
    event->setDropAction(effect);
    event->accept();
    return true;
}

void TFolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    // Entering is accepted so that moves over the nodes are heard; each
    // move decides for the node under the mouse.
    event->accept();
}

void TFolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base scrolls the tree while the mouse rests near an edge.
    QTreeWidget::dragMoveEvent(event);
    AcceptDrag(event);
}

void TFolderTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDropNode(nullptr);
    QTreeWidget::dragLeaveEvent(event);
}

void TFolderTreeView::dropEvent(QDropEvent* event)
{
    SetDropNode(nullptr);
    auto* node = static_cast<TFolderNode*>(itemAt(event->position().toPoint()));
    if (!node) {
        event->ignore();
        return;
    }
    const Qt::DropAction done = Drop(event->mimeData(), node, event->proposedAction());
    event->setDropAction(done);
    if (done == Qt::IgnoreAction)
        event->ignore();
    else
        event->accept();
}

void TFolderTreeView::SetDropNode(TFolderNode* node)
{
    const QPersistentModelIndex index = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    if (index == FDropIndex)
        return;
    if (FDropIndex.isValid())
        viewport()->update(visualRect(FDropIndex));
    FDropIndex = index;
    if (FDropIndex.isValid())
        viewport()->update(visualRect(FDropIndex));
}

void TFolderTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    header()->setMinimumSectionSize(viewport()->width());
}

void TFolderTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index != FDropIndex) {
        QTreeWidget::drawRow(painter, option, index);
        return;
    }
    // The node that a drop would land on is shaded and framed in the
    // selection colour, under its text, which stays readable.
    const QColor highlight = palette().color(QPalette::Highlight);
    QColor shade = highlight;
    shade.setAlpha(80);
    const int left = visualRect(index).left();
    const QRect marked(left, option.rect.top(), viewport()->width() - left - 1, option.rect.height() - 1);
    painter->fillRect(marked, shade);
    QTreeWidget::drawRow(painter, option, index);
    painter->save();
    painter->setPen(QPen(highlight, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(marked);
    painter->restore();
}
