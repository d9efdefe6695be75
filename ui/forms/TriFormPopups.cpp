// TTriForm: the context menus. The list has the editing commands, its
// header the column and sort dialogs; the folder tree has the folder commands, which act on the node the menu was
// opened on rather than on the selected one.

#include "ui/forms/TriForm.h"

#include "ui/actions/ActionUpdater.h"
#include "ui/actions/WindowAction.h"
#include "ui/mesglist/MesgListView.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/OETreeView.h"

#include <QMenu>

void TTriForm::CreatePopupMenus()
{
    CreateFolderCommands();
    FTextPopup = CreatePopupMenu("PopupTextEdit",
                                 {"AEditUndo", "AEditRedo", nullptr, "AEditCut", "AEditCopy", "AEditPaste", "AEditDelete",
                                  "AEditSelectAll", nullptr, "AEditFind", "AEditSearchAgain"});
    FFolderPopup = CreatePopupMenu("PopupFolder",
                                   {"mOpenFolder", nullptr, "AEditUndo", "AEditRedo", nullptr, "AContextCutFolder",
                                    "AContextCopyFolder", "AContextPasteFolder", "AContextDeleteFolder", nullptr,
                                    "mCreateFolder3", "AContextRenameFolder"});
    FList->SetPopupMenu(FTextPopup);
    QMenu* header = CreatePopupMenu("PopupHeader", {"mColumns", "mMesgSort"});
    connect(FList, &TIndexListView::ColumnRightClicked, header,
            [header](int, const QPoint& globalPos) { header->popup(globalPos); });
}

QMenu* TTriForm::CreatePopupMenu(const char* name, const QList<const char*>& items)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name));
    for (const char* item : items) {
        if (item)
            menu->addAction(Action(item));
        else
            menu->addSeparator();
    }
    // The items show the state of the moment the menu opens.
    connect(menu, &QMenu::aboutToShow, menu, &TActionUpdater::UpdateAll);
    return menu;
}

void TTriForm::CreateFolderCommands()
{
    const auto onTree = [this](const char* name, const char* caption, std::function<void()> execute) {
        return AddCommand(name, caption, [this, execute = std::move(execute)] {
            if (FTree)
                execute();
        });
    };
    onTree("mOpenFolder", "Open", [this] { OpenContextFolder(); });
    onTree("AContextCutFolder", "Cut", [this] { FTree->ContextCutFolder(); })->EnabledWhen = [this] {
        return OrdinaryContextNode() != nullptr;
    };
    onTree("AContextCopyFolder", "Copy", [this] { FTree->ContextCopyFolder(); })->EnabledWhen = [this] {
        const TFolderNode* node = FTree ? FTree->ContextNode() : nullptr;
        return node && node->Id() != kRootFolderId;
    };
    onTree("AContextPasteFolder", "Paste", [this] { FTree->ContextPaste(); })->EnabledWhen = [this] {
        return FTree && FTree->ContextNode() && FTree->ContextCanPaste();
    };
    onTree("AContextDeleteFolder", "Delete", [this] { FTree->DeleteNode(OrdinaryContextNode()); })->EnabledWhen = [this] {
        return OrdinaryContextNode() != nullptr;
    };
    onTree("mCreateFolder3", "Create", [this] {
        if (const TFolderNode* node = FTree->ContextNode())
            CreateFolderIn(node->Id());
    });
    onTree("AContextRenameFolder", "Rename", [this] { RenameNode(OrdinaryContextNode()); })->EnabledWhen = [this] {
        return OrdinaryContextNode() != nullptr;
    };
}

TFolderNode* TTriForm::OrdinaryContextNode() const
{
    TFolderNode* node = FTree ? FTree->ContextNode() : nullptr;
    return IsOrdinaryFolder(node) ? node : nullptr;
}

void TTriForm::OpenContextFolder()
{
    if (const TFolderNode* node = FTree->ContextNode())
        NewBrowser(node->Id());
}

void TTriForm::ShowFolderMenu(const QPoint& globalPos)
{
    FFolderPopup->popup(globalPos);
}
