#pragma once

#include "ui/tree/FolderTreeView.h"

#include <QPointer>

class IFolderTreeClipboard;
class TOEFolders;
class TOeMesgItems;

// The folder tree of the store. It shows the folders of a folder model (the
// model of the message collection it is tied to), stays current through the
// model's folder notifications, which also report what other windows did,
// and copies, moves, deletes and renames folders and takes pasted or
// dropped messages through the internal clipboard.
class TOETreeView : public TFolderTreeView
{
    Q_OBJECT
public:
    explicit TOETreeView(QWidget* parent = nullptr);
    ~TOETreeView() override;

    // Shows the folders of the model (not owned) and follows its folder
    // notifications; the tree takes the model's OnFolderChange.
    void SetFolders(TOEFolders* folders);
    // Ties the tree to a message collection: the tree shows the folders of
    // the collection's model and follows the collection's folder
    // notifications, and the collection opens what the user selects.
    void AttachCollection(TOeMesgItems* collection);
    [[nodiscard]] TOEFolders* Folders() const;
    [[nodiscard]] TOeMesgItems* Collection() const;

    // Rebuilds the tree from the store; the root is selected.
    void Refill();
    // Reads the store again, keeping the nodes of the folders that are
    // still there and the selection when its folder is.
    void FullRefresh();
    // The side with the focus leads: the collection opens the tree's folder,
    // or the tree selects the collection's.
    void SyncWithCollection();

    // A folder notification of the model: type, old and new id.
    void FolderChanged(int type, TStoreId oldId, TStoreId newId);

    bool DeleteNode(TFolderNode* node) override;
    // Gives the node's folder the name; on failure shows the rename error
    // and keeps the tree as it is.
    bool RenameFolder(TFolderNode* node, const QString& name);
    void CopyFolder() override;
    void CutFolder() override;
    [[nodiscard]] bool CanPaste() override;
    void Paste() override;

    // Pastes the data onto the node: the folder it carries is moved or
    // copied below the node's folder, messages and message files go into
    // that folder. Returns what was done, Qt::IgnoreAction when refused.
    Qt::DropAction PasteData(const QMimeData* data, TFolderNode* node, Qt::DropAction effect);
    // Moves or copies the folder below the target; refuses (the store
    // unchanged) a folder onto itself, its own subtree or its present
    // parent, and the root.
    Qt::DropAction PasteFolder(TStoreId folder, TStoreId target, Qt::DropAction effect);

protected:
    void FolderSelected(TFolderNode* node) override;
    void SyncList() override;
    void StartDrag() override;
    [[nodiscard]] Qt::DropAction DropEffect(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed) override;
    Qt::DropAction Drop(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed) override;
    bool event(QEvent* event) override;

private:
    void Listen(QObject* owner, std::function<void(int, TStoreId, TStoreId)>& event);
    void Detach();
    void PostRequest(int request, TStoreId oldId, TStoreId newId);
    void AddNode(TStoreId id);
    void UpdateNode(TStoreId oldId, TStoreId newId);
    void FillChildren(TFolderNode* node);
    void Sweep(TFolderNode* node);
    [[nodiscard]] std::vector<TStoreId> SelectionPath() const;
    void OfferOperationFolder(Qt::DropAction effect);
    [[nodiscard]] bool CanPasteOnto(const QMimeData* data, TFolderNode* node, IFolderTreeClipboard& clipboard);

    TOEFolders* FFolders = nullptr;
    QPointer<TOeMesgItems> FCollection;
    // The object whose folder-change event the tree has taken, and that event.
    QPointer<QObject> FEventOwner;
    std::function<void(int, TStoreId, TStoreId)>* FEvent = nullptr;
    bool FRefreshPosted = false;
};
