#pragma once

#include "engine/StoreTypes.h"
#include "ui/dialogs/Dialog.h"

class QTreeWidget;
class QTreeWidgetItem;
class TOEFolder;

// A dialog in which the user picks a folder of the store: a label above a
// tree of all folders, nine rows high and fully expanded, ordered as the
// folder tree orders them (the special folders first, then by name in the
// user's language, letter case ignored). The store root heads the tree.
class TFolderChooser : public TDialog
{
    Q_OBJECT
public:
    // `selected` is selected at the start (the root when the store lacks it).
    TFolderChooser(const QString& caption, const QString& label, TOEFolder& folders, TStoreId selected);

    [[nodiscard]] QTreeWidget* Tree() const { return FTree; }
    // The id of the selected folder; kNoStoreId when none is selected.
    [[nodiscard]] TStoreId SelectedFolder() const;
    void SelectFolder(TStoreId id);

    // The chosen folder, or kNoStoreId when the dialog is cancelled.
    [[nodiscard]] TStoreId Choose();

protected:
    [[nodiscard]] bool ValidateDialog() override { return SelectedFolder() != kNoStoreId; }

private:
    void Fill(TOEFolder& folders);
    void AddChildren(TOEFolder& folders, QTreeWidgetItem* parent, TStoreId parentId);

    QTreeWidget* FTree;
};
