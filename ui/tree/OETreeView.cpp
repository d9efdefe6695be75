#include "ui/tree/OETreeView.h"

#include "base/PrivateMessages.h"
#include "settings/GlobStrings.h"
#include "store/FolderEntries.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/tree/FolderNode.h"

#include <QCoreApplication>
#include <QTreeWidgetItemIterator>

namespace {

// A queued tree request with the ids of its notification.
class TTreeRequest : public QEvent
{
public:
    TTreeRequest(int request, TStoreId oldId, TStoreId newId)
        : QEvent(EventType(request)), OldId(oldId), NewId(newId) {}
    TStoreId OldId;
    TStoreId NewId;
};

void MarkSeen(TFolderNode* node)
{
    node->SetSeen(true);
    for (int i = 0; i < node->childCount(); ++i)
        MarkSeen(node->ChildNode(i));
}

} // namespace

TOETreeView::TOETreeView(QWidget* parent)
    : TFolderTreeView(parent)
{
}

TOETreeView::~TOETreeView()
{
    Detach();
}

void TOETreeView::Listen(QObject* owner, std::function<void(int, TStoreId, TStoreId)>& event)
{
    FEventOwner = owner;
    FEvent = &event;
    event = [this](int type, TStoreId oldId, TStoreId newId) { FolderChanged(type, oldId, newId); };
}

void TOETreeView::Detach()
{
    // The event must not call into a tree that is gone or that left.
    if (FEventOwner && FEvent)
        *FEvent = nullptr;
    FEventOwner.clear();
    FEvent = nullptr;
    FFolders = nullptr;
    FCollection.clear();
}

void TOETreeView::SetFolders(TOEFolders* folders)
{
    Detach();
    FFolders = folders;
    if (folders)
        Listen(folders, folders->OnFolderChange);
    Refill();
}

void TOETreeView::AttachCollection(TOeMesgItems* collection)
{
    Detach();
    if (collection) {
        FCollection = collection;
        FFolders = &collection->Folders();
        Listen(collection, collection->OnFolderChange);
    }
    Refill();
    if (collection && collection->FolderId() != kNoStoreId)
        SelectFolder(collection->FolderId());
}

TOEFolders* TOETreeView::Folders() const
{
    return FEventOwner ? FFolders : nullptr;
}

TOeMesgItems* TOETreeView::Collection() const
{
    return FCollection;
}

void TOETreeView::Refill()
{
    BeginUpdate();
    clear();
    if (Folders()) {
        auto* root = new TFolderNode;
        root->MakeRoot(Lang().SectionValue(QStringLiteral("Program"), QStringLiteral("RootNode")));
        addTopLevelItem(root);
        FillChildren(root);
        expandAll();
        setCurrentItem(root);
    }
    EndUpdate();
}

void TOETreeView::FillChildren(TFolderNode* node)
{
    node->SetSeen(true);
    bool listed = false;
    const std::vector<TFolderEntry> children = SortedChildren(*FFolders, node->Id(), &listed);
    // A listing that failed proves no folder gone: the nodes stay.
    if (!listed) {
        MarkSeen(node);
        return;
    }
    for (const TFolderEntry& entry : children) {
        TFolderNode* child = node->ChildById(entry.Id);
        if (!child) {
            child = new TFolderNode;
            node->addChild(child);
            child->setExpanded(true);
        }
        child->Assign(entry);
        FillChildren(child);
    }
    node->sortChildren(0, Qt::AscendingOrder);
}

void TOETreeView::Sweep(TFolderNode* node)
{
    for (int i = node->childCount() - 1; i >= 0; --i) {
        TFolderNode* child = node->ChildNode(i);
        if (child->Seen())
            Sweep(child);
        else
            RemoveNode(child);
    }
}

std::vector<TStoreId> TOETreeView::SelectionPath() const
{
    std::vector<TStoreId> path;
    for (const TFolderNode* node = SelectedNode(); node; node = node->ParentNode())
        path.push_back(node->Id());
    return path;
}

void TOETreeView::FullRefresh()
{
    TFolderNode* root = RootNode();
    if (!root || !Folders()) {
        Refill();
        return;
    }
    // The selected folder keeps the selection wherever it now is; when it
    // is gone, its nearest ancestor that is still there takes it.
    const std::vector<TStoreId> path = SelectionPath();
    BeginUpdate();
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        static_cast<TFolderNode*>(*it)->SetSeen(false);
    FillChildren(root);
    Sweep(root);
    for (TStoreId id : path) {
        if (TFolderNode* node = NodeOf(id)) {
            setCurrentItem(node);
            break;
        }
    }
    if (!NodeOf(LastFolderId()))
        SetLastFolderId(SelectedNode() ? SelectedNode()->Id() : kRootFolderId);
    EndUpdate();
}

void TOETreeView::FolderChanged(int type, TStoreId oldId, TStoreId newId)
{
    switch (type) {
    case fnNewFolder:
        PostRequest(pmTreeAddNode, oldId, newId);
        break;
    case fnFolderDeleted:
    case fnMoved:
        PostRequest(pmTreeRefresh, oldId, newId);
        break;
    default:
        PostRequest(pmTreeUpdateNode, oldId, newId);
        break;
    }
}

void TOETreeView::PostRequest(int request, TStoreId oldId, TStoreId newId)
{
    // One refresh reads the whole store when it runs, so one pending is enough.
    if (request == pmTreeRefresh && std::exchange(FRefreshPosted, true))
        return;
    QCoreApplication::postEvent(this, new TTreeRequest(request, oldId, newId));
}

bool TOETreeView::event(QEvent* event)
{
    const int type = event->type();
    if (type != pmTreeRefresh && type != pmTreeAddNode && type != pmTreeUpdateNode)
        return TFolderTreeView::event(event);
    const auto& request = static_cast<const TTreeRequest&>(*event);
    if (type == pmTreeRefresh) {
        FRefreshPosted = false;
        FullRefresh();
    } else if (type == pmTreeAddNode) {
        AddNode(request.NewId);
    } else {
        UpdateNode(request.OldId, request.NewId);
    }
    return true;
}

void TOETreeView::AddNode(TStoreId id)
{
    TFolderProps props;
    TFolderNode* parent = nullptr;
    if (Folders() && Folders()->GetFolderInfo(id, props) == srOk)
        parent = NodeOf(props.ParentId);
    if (!parent) {
        FullRefresh();
        return;
    }
    BeginUpdate();
    // A refresh that ran meanwhile may have shown the folder already.
    TFolderNode* node = parent->ChildById(id);
    if (!node) {
        node = new TFolderNode;
        parent->addChild(node);
    }
    node->Assign(FolderEntry(props));
    parent->sortChildren(0, Qt::AscendingOrder);
    EndUpdate();
}

void TOETreeView::UpdateNode(TStoreId oldId, TStoreId newId)
{
    TFolderProps props;
    TFolderNode* node = NodeOf(oldId);
    if (!node || !Folders() || Folders()->GetFolderInfo(newId, props) != srOk) {
        FullRefresh();
        return;
    }
    BeginUpdate();
    const QString oldName = node->Name();
    node->Assign(FolderEntry(props));
    if (node->ParentNode() && node->Name() != oldName)
        node->ParentNode()->sortChildren(0, Qt::AscendingOrder);
    EndUpdate();
}

void TOETreeView::FolderSelected(TFolderNode* node)
{
    TFolderTreeView::FolderSelected(node);
    if (FCollection && hasFocus())
        FCollection->SetFolderId(FolderId());
}

void TOETreeView::SyncWithCollection()
{
    if (!FCollection)
        return;
    if (hasFocus())
        FCollection->SetFolderId(FolderId());
    else if (FCollection->FolderId() != kNoStoreId)
        SelectFolder(FCollection->FolderId());
}

void TOETreeView::SyncList()
{
    SyncWithCollection();
}
