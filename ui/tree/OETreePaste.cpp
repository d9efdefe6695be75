// The folder commands of the store's folder tree: delete, rename, copy,
// cut, paste and drops.

#include "ui/tree/OETreeView.h"

#include "settings/SystemCodePage.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "store/OutlookError.h"
#include "ui/MessageBoxes.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/FolderTreeClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// Entries of the "OutlookError" section and of "Error" shown here.
constexpr int kFolderCopyError = 2;
constexpr int kFolderMoveError = 3;
constexpr int kRenameError = 21;

const QMimeData* ClipboardData()
{
    return QGuiApplication::clipboard()->mimeData();
}

} // namespace

bool TOETreeView::DeleteNode(TFolderNode* node)
{
    if (!node || !Folders() || node->Kind() == 0)
        return false;
    // Only inside Deleted Items is a deletion final, and only there is it confirmed.
    if (Folders()->IsInDeletedItems(node->Id()) && FCollection && FCollection->OnConfirmDelete
        && !FCollection->OnConfirmDelete(FCollection))
        return false;
    if (!Folders()->DeleteFolderId(node->Id()))
        return false;
    BeginUpdate();
    RemoveNode(node);
    EndUpdate();
    return true;
}

bool TOETreeView::RenameFolder(TFolderNode* node, const QString& name)
{
    if (!node || !Folders() || node->Kind() == 0)
        return false;
    if (Folders()->RenameFolderId(node->Id(), EncodeSystemText(name)))
        return true;
    ErrorFormatted(kRenameError, {node->Name(), name});
    return false;
}

void TOETreeView::OfferOperationFolder(Qt::DropAction effect)
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    const TFolderNode* node = OperationNode();
    // Any folder but the root may be copied; only ordinary folders may move.
    const bool allowed = effect == Qt::MoveAction ? node && node->Kind() == TFolderNode::kFolderKind
                                                  : node && node->Kind() != 0;
    if (clipboard && allowed)
        clipboard->OfferFolder(this, node->Id(), effect);
}

void TOETreeView::CopyFolder()
{
    OfferOperationFolder(Qt::CopyAction);
}

void TOETreeView::CutFolder()
{
    OfferOperationFolder(Qt::MoveAction);
}

bool TOETreeView::CanPasteOnto(const QMimeData* data, TFolderNode* node, IFolderTreeClipboard& clipboard)
{
    if (!node || !Folders() || (FCollection && FCollection->Loading()))
        return false;
    const TStoreId folder = clipboard.OfferedFolder(data);
    if (folder != kNoStoreId)
        return Folders()->CanMoveFolder(folder, node->Id());
    return clipboard.AcceptsMessages(data);
}

bool TOETreeView::CanPaste()
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    return clipboard && CanPasteOnto(ClipboardData(), OperationNode(), *clipboard);
}

void TOETreeView::Paste()
{
    if (IFolderTreeClipboard* clipboard = FolderTreeClipboard()) {
        const QMimeData* data = ClipboardData();
        PasteData(data, OperationNode(), clipboard->PasteEffect(data));
    }
}

Qt::DropAction TOETreeView::DropEffect(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed)
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    if (!clipboard || !CanPasteOnto(data, node, *clipboard))
        return Qt::IgnoreAction;
    return proposed == Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction;
}

Qt::DropAction TOETreeView::Drop(const QMimeData* data, TFolderNode* node, Qt::DropAction proposed)
{
    const Qt::DropAction effect = DropEffect(data, node, proposed);
    return effect == Qt::IgnoreAction ? effect : PasteData(data, node, effect);
}

Qt::DropAction TOETreeView::PasteData(const QMimeData* data, TFolderNode* node, Qt::DropAction effect)
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    if (!clipboard || !node || !Folders())
        return Qt::IgnoreAction;
    const TStoreId folder = clipboard->OfferedFolder(data);
    if (folder == kNoStoreId)
        return clipboard->PasteMessages(this, data, node->Id(), effect);
    const Qt::DropAction done = PasteFolder(folder, node->Id(), effect);
    clipboard->SetDropEffect(done);
    return done;
}

Qt::DropAction TOETreeView::PasteFolder(TStoreId folder, TStoreId target, Qt::DropAction effect)
{
    TOEFolders* folders = Folders();
    if (!folders || !folders->CanMoveFolder(folder, target))
        return Qt::IgnoreAction;
    if (effect == Qt::MoveAction) {
        if (folders->MoveFolderId(folder, target))
            return Qt::MoveAction;
        ShowOutlookError(kFolderMoveError);
        return Qt::IgnoreAction;
    }
    if (effect != Qt::CopyAction)
        return Qt::IgnoreAction;
    if (RunFolderTask(this, *folders, [folders, folder, target] { return folders->CopyFolderTree(folder, target); }))
        return Qt::CopyAction;
    ShowOutlookError(kFolderCopyError);
    return Qt::IgnoreAction;
}

void TOETreeView::StartDrag()
{
    IFolderTreeClipboard* clipboard = FolderTreeClipboard();
    const TFolderNode* node = SelectedNode();
    if (clipboard && node && node->Kind() != 0)
        clipboard->DragFolder(this, node->Id());
}
