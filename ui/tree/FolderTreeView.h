#pragma once

#include "engine/StoreTypes.h"

#include <QPersistentModelIndex>
#include <QTreeWidget>

#include <functional>

class QMimeData;
class TFolderNode;

// A read-only tree of folders, one TFolderNode per folder under the store
// root. It keeps the folder the user last chose, offers the node that a
// copy, cut, paste, delete or drop is about (the context-menu node while a
// context-menu command runs, else the node under the drop point or the
// selected node) and leaves what those commands do to its descendant.
class TFolderTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    using TChangeEvent = std::function<void(TFolderTreeView* sender, const QString& folderName)>;
    using TContextMenuEvent = std::function<void(TFolderTreeView* sender, const QPoint& globalPos)>;

    explicit TFolderTreeView(QWidget* parent = nullptr);
    ~TFolderTreeView() override;

    // The selected folder; the last folder chosen while the store root is
    // selected; 0 when nothing is selected.
    [[nodiscard]] TStoreId FolderId() const;
    // Selects the folder after the current event (see SelectFolder).
    void SetFolderId(TStoreId id);
    // Remembers the folder and selects, scrolls to and makes current its
    // node; false when the tree has no node for it.
    bool SelectFolder(TStoreId id);

    [[nodiscard]] TFolderNode* RootNode() const;
    [[nodiscard]] TFolderNode* SelectedNode() const;
    [[nodiscard]] TFolderNode* NodeOf(TStoreId id) const;
    // The node on which the context menu was last opened.
    [[nodiscard]] TFolderNode* ContextNode() const;
    // The node a copy, cut, paste or delete command acts on.
    [[nodiscard]] TFolderNode* OperationNode() const;

    // Copies the other tree's nodes and selects the same folder.
    void CloneFrom(const TFolderTreeView& other);

    // Deletes the node's folder; the node goes only when that succeeded.
    virtual bool DeleteNode(TFolderNode* node);
    // The folder commands, on the operation node.
    virtual void CopyFolder();
    virtual void CutFolder();
    [[nodiscard]] virtual bool CanPaste();
    virtual void Paste();
    // The same on the context-menu node.
    void ContextCopyFolder();
    void ContextCutFolder();
    [[nodiscard]] bool ContextCanPaste();
    void ContextPaste();

    // After the selected folder has changed.
    TChangeEvent OnChange;
    // The user asks for the folder menu (the mouse's right button or the
    // keyboard's menu key); ContextNode() is the node it is about.
    TContextMenuEvent OnContextMenu;

protected:
    // The selection moved to the node.
    virtual void FolderSelected(TFolderNode* node);
    // A press on the tree that starts no drag: the list shows the tree's folder.
    virtual void SyncList();
    // A drag of the selected folder begins.
    virtual void StartDrag();
    // What dropping the data onto the node would do, Qt::IgnoreAction when refused.
    [[nodiscard]] virtual Qt::DropAction DropEffect(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed);
    // Drops the data onto the node; returns what was done.
    virtual Qt::DropAction Drop(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed);

    // Ends a batch of changes begun with BeginUpdate: the selection's
    // change is announced once, at the end.
    void BeginUpdate();
    void EndUpdate();
    // Removes the node and its subtree; a selection inside it moves to the node's parent.
    void RemoveNode(TFolderNode* node);
    // The last folder chosen, kept while the store root is selected.
    [[nodiscard]] TStoreId LastFolderId() const { return FLastFolderId; }
    void SetLastFolderId(TStoreId id) { FLastFolderId = id; }

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CurrentChanged(QTreeWidgetItem* current);
    bool AcceptDrag(QDropEvent* event);
    void SetDropNode(TFolderNode* node);
    void RunOnContextNode(const std::function<void()>& command);

    TStoreId FLastFolderId = kRootFolderId;
    QPersistentModelIndex FContextIndex;
    bool FContextOperation = false;
    int FUpdateCount = 0;
    TStoreId FSelectedBeforeUpdate = kNoStoreId;
    QPersistentModelIndex FDropIndex;
};
