#pragma once

#include "engine/StoreTypes.h"

#include <Qt>

#include <functional>

class QMimeData;
class QWidget;
class TOEFolders;

// What the folder tree asks of the internal clipboard. The tree decides
// which folder node a copy, cut, paste or drop is about and pastes folders
// itself; the clipboard owns the data formats (the folder format, messages
// of this run, virtual message files, dropped files), the pasting of
// messages and files, and the paste progress dialog. The internal clipboard
// implements it and installs itself with SetFolderTreeClipboard.
class IFolderTreeClipboard
{
public:
    virtual ~IFolderTreeClipboard() = default;

    // Offers the folder on the system clipboard in the folder format, to be
    // copied (Qt::CopyAction) or, after a cut, moved (Qt::MoveAction).
    virtual void OfferFolder(QWidget* source, TStoreId folder, Qt::DropAction effect) = 0;
    // Drags the folder out of the tree; returns when the drag has ended.
    virtual void DragFolder(QWidget* source, TStoreId folder) = 0;

    // The folder that the data carries in the folder format, kNoStoreId when none.
    [[nodiscard]] virtual TStoreId OfferedFolder(const QMimeData* data) const = 0;
    // What pasting the data does: Qt::MoveAction after a cut, else Qt::CopyAction.
    [[nodiscard]] virtual Qt::DropAction PasteEffect(const QMimeData* data) const = 0;
    // True when the data holds messages of this run, virtual message files
    // or ".eml" files that can be pasted into a folder.
    [[nodiscard]] virtual bool AcceptsMessages(const QMimeData* data) const = 0;
    // Copies or moves the messages, or saves the message files, into the
    // folder, with progress and Cancel, reporting failures itself. Returns
    // the effect that took place, Qt::IgnoreAction when nothing was pasted.
    virtual Qt::DropAction PasteMessages(QWidget* target, const QMimeData* data, TStoreId folder,
                                         Qt::DropAction effect) = 0;
    // Records the outcome of a folder paste or drop for the data's source
    // (Qt::IgnoreAction: refused or failed).
    virtual void SetDropEffect(Qt::DropAction effect) = 0;
    // Runs a long folder operation of the model under the paste progress
    // dialog (the model's progress goes to the dialog); returns its result.
    virtual bool RunWithProgress(QWidget* owner, TOEFolders& folders, const std::function<bool()>& task) = 0;
};

// The clipboard of the folder trees (none until the internal clipboard
// installs itself); the setter returns the previous one.
[[nodiscard]] IFolderTreeClipboard* FolderTreeClipboard();
IFolderTreeClipboard* SetFolderTreeClipboard(IFolderTreeClipboard* clipboard);
// Runs the task under the clipboard's progress dialog (with Cancel) when a
// clipboard is installed, else as it is.
bool RunFolderTask(QWidget* owner, TOEFolders& folders, const std::function<bool()>& task);
