// TMesgListView: the clipboard commands, deleting, dragging, the folder
// tree and the requests other objects post to the list.

#include "ui/mesglist/MesgListView.h"

#include "base/PrivateMessages.h"
#include "messages/MesgItems.h"
#include "store/OeMesgItems.h"
#include "ui/list/WaitCursor.h"
#include "ui/mesglist/MesgListLinks.h"

#include <QScopeGuard>

// ------------------------------------------------------------ clipboard

bool TMesgListView::CanCopy() const
{
    return IsReady() && SelectedCount() > 0;
}

void TMesgListView::Copy()
{
    const TWaitCursor wait;
    RunAsClipboardSource(&TMesgItems::CopyCommand);
}

bool TMesgListView::CanCut() const
{
    return CanCopy();
}

void TMesgListView::Cut()
{
    const TWaitCursor wait;
    RunAsClipboardSource(&TMesgItems::CutCommand);
}

bool TMesgListView::CanPaste() const
{
    return IsReady() && FClipboard && FClipboard->CanPasteInto(const_cast<TMesgListView&>(*this));
}

void TMesgListView::Paste()
{
    if (FClipboard)
        FClipboard->PasteInto(*this);
}

bool TMesgListView::CanDelete() const
{
    return CanCopy();
}

void TMesgListView::DeleteSelected()
{
    // Painting resumes once the store's notifications of the deletion have
    // been handled, which are posted before this request; also on failure.
    BeginUpdate();
    const auto resume = qScopeGuard([this] { PostToControl(pmListEndUpdate); });
    FMessages->DeleteSelected();
}

void TMesgListView::StartRowDrag(Qt::DropActions)
{
    RunAsClipboardSource(&TMesgItems::DragCommand);
}

void TMesgListView::RunAsClipboardSource(void (TMesgItems::*command)())
{
    if (FClipboard)
        FClipboard->SetSourceControl(*this);
    (FMessages->*command)();
}

// --------------------------------------------------------- folder tree

void TMesgListView::AttachTree(IMesgListTree* tree)
{
    if (tree == FTree)
        return;
    if (IMesgListTree* previous = std::exchange(FTree, tree))
        previous->AttachList(nullptr);
    FSyncedFolder = kNoStoreId;
    if (FTree)
        FTree->AttachList(this);
}

void TMesgListView::ForgetTree(IMesgListTree* tree)
{
    if (tree == FTree)
        FTree = nullptr;
}

void TMesgListView::SyncTree()
{
    if (FTree)
        FTree->SyncWithList();
}

void TMesgListView::SyncTreeAfterLoad()
{
    // Once per folder, when its load has ended.
    const auto* store = dynamic_cast<const TOeMesgItems*>(FMessages);
    if (!FTree || !store || store->LoadRunning() || store->FolderId() == FSyncedFolder)
        return;
    FSyncedFolder = store->FolderId();
    SyncTree();
}

// ------------------------------------------------------------ requests

void TMesgListView::GoUp()
{
    FMessages->GoToParent();
}

void TMesgListView::customEvent(QEvent* event)
{
    if (event->type() != EventType(pmReloadList)) {
        TVirtualListView::customEvent(event);
        return;
    }
    // The message the user is on is selected again once it is back.
    SetPendingName(QString::fromLatin1(MesgName()));
    FPendingReloaded = false;
    FMessages->LoadMessages();
}
