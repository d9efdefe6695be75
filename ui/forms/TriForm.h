#pragma once

#include "base/SyncItems.h"
#include "engine/StoreTypes.h"
#include "ui/forms/FolderHistory.h"
#include "ui/mesg/CommonForm.h"

#include <QDateTime>

#include <functional>

class QKeySequence;
class QMenu;
class QSplitter;
class QTimer;
class QVBoxLayout;
class TFavoriteActions;
class TFolderNode;
class TIniFiler;
class TMesgListView;
class TOEFavorites;
class TOETreeView;
class TOeMesgItems;
class TQuickMesgEditor;
class TTargetAction;
class TTextToolbar;
class TVirtItem;
class TWindowAction;

// The browser window: the folder tree on the left, the message list of the
// current folder on the right and the reading pane below them. Any number
// of them may be open; each has its own folder, list and navigation
// history. The window holds no store or
// message logic: it ties the list, its store collection and the tree
// together, keeps the history and decides when each command is enabled.
//
// Implemented by concern: TriForm.cpp (panes and layout), TriFormPane.cpp
// (the reading pane), TriFormCommands.cpp (menus and commands),
// TriFormMailbox.cpp (mailbox files), TriFormPopups.cpp (the context menus
// of the list and the tree), TriFormSettings.cpp (the layout).
class TTriForm : public TCommonForm
{
    Q_OBJECT
    Q_PROPERTY(bool ShowTextToolbar READ ShowTextToolbar WRITE SetShowTextToolbar)
    Q_PROPERTY(bool ShowTree READ ShowTree WRITE SetShowTree)
    Q_PROPERTY(bool ShowEditor READ ShowEditor WRITE SetShowEditor)
    Q_PROPERTY(QString UnixBoxPath READ UnixBoxPath WRITE SetUnixBoxPath)

public:
    explicit TTriForm(QWidget* parent = nullptr);
    ~TTriForm() override;

    [[nodiscard]] TMesgListView& List() const { return *FList; }
    [[nodiscard]] TOeMesgItems& Messages() const;
    // The folder tree while ShowTree is on, else none.
    [[nodiscard]] TOETreeView* Tree() const { return FTree; }
    [[nodiscard]] const TFolderHistory& History() const { return FHistory; }

    [[nodiscard]] bool ShowTextToolbar() const;
    void SetShowTextToolbar(bool show);
    [[nodiscard]] bool ShowTree() const { return FTree != nullptr; }
    void SetShowTree(bool show);
    // The reading pane below the list.
    [[nodiscard]] bool ShowEditor() const { return FPane != nullptr; }
    virtual void SetShowEditor(bool show);
    // The reading pane while ShowEditor is on, else none.
    [[nodiscard]] TQuickMesgEditor* Pane() const { return FPane; }

    // The folder of the mailbox file chosen last for an export or import.
    [[nodiscard]] const QString& UnixBoxPath() const { return FUnixBoxPath; }
    void SetUnixBoxPath(const QString& path) { FUnixBoxPath = path; }

    // "ShowTextToolbar", "ShowTree", "ShowStatusBar", the list's settings
    // and folder, and "TreeWidth" while the tree is shown.
    void DefineIniProperties(TIniFiler& filer) override;

    // The name of the current folder.
    [[nodiscard]] QString CaptionText() const override;

    // Goes to the folder: the tree's selection leads when the tree has the
    // focus, the collection's folder otherwise; the other side follows.
    void GoToFolder(TStoreId folder);
    void GoBack();
    void GoForward();
    // A new browser window like this one, shown, on the folder (this
    // window's folder when none is given).
    TTriForm* NewBrowser(TStoreId folder = kNoStoreId);

    // Rebuilds the Favorites menu of every browser window (the favourites
    // changed).
    static void RebuildFavoriteMenus();

    // The window's action of that name ("mNewBrowser", "APrevFolder"...).
    [[nodiscard]] QAction* Action(const char* name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Stores the pane's edit of its message in place of the message;
    // answers whether it was stored.
    bool SaveEdits() override;

private:
    // Commands (TriFormCommands.cpp).
    void CreateActions();
    void CreateMenus();
    TWindowAction* AddAction(const char* name, const char* caption, void (TTriForm::*execute)());
    TWindowAction* AddCommand(const char* name, const char* caption, std::function<void()> execute);
    void FillTextToolbar();
    void CreateFavoritesMenu();
    void CreateOptionsMenu();
    // The favourites of the run; none without them.
    [[nodiscard]] static TOEFavorites* Favorites();
    void AddFavorite();
    void OrganiseFavorites();
    void AddListAction(TTargetAction* action, const char* name, const QKeySequence& key, QWidget* fixed);
    // The store ids of the selected messages, from the last row to the first.
    [[nodiscard]] TMessageIdList SelectedMessageIds() const;
    [[nodiscard]] bool HasSelection() const;
    [[nodiscard]] bool CanCopyMove(bool move) const;
    void CopyTo();
    void MoveTo();
    void CopyOrMove(bool move);
    void MarkUnread();
    void MarkRead();
    void CloseWindow();
    void ExitProgram();

    // Context menus (TriFormPopups.cpp).
    void CreatePopupMenus();
    [[nodiscard]] QMenu* CreatePopupMenu(const char* name, const QList<const char*>& items);
    void CreateFolderCommands();
    // The tree's node that the folder menu was opened on, when it is one
    // the user made.
    [[nodiscard]] TFolderNode* OrdinaryContextNode() const;
    void OpenContextFolder();
    void ShowFolderMenu(const QPoint& globalPos);

    // Mailbox files (TriFormMailbox.cpp).
    [[nodiscard]] QString AskMailbox(const char* title, bool save);
    void ExportToMailbox();
    void ImportFromMailbox();
    // Brings an old Outlook Express store (a folder with Folders.dbx, or
    // folder files) in below the current folder.
    void ImportOutlookExpress();
    void ChooseLayout();
    void CreateFolder();
    // Asks for a name and makes a folder of it under the parent.
    void CreateFolderIn(TStoreId parent);
    void RenameFolder();
    void RenameNode(TFolderNode* node);
    void CompactFolder();
    void CompactAll();
    // Compacts on a thread of its own under a progress dialog with Cancel.
    void Compact(bool whole);
    void GoToInbox();
    void Reread();
    void OpenNewBrowser();

    // The reading pane (TriFormPane.cpp).
    // The list's current item for the pane: an edited message there is
    // left only as MayLeaveShownMessage allows (LeaveEditedMessage).
    void ShowMessage(TVirtItem* item);
    // Asks about the pane's edit now that the list has moved on: the pane
    // follows the list, or on Cancel the list goes back to the edited
    // message.
    void LeaveEditedMessage();
    void ShowInPane(TVirtItem* item);
    void OpenMessage(int row);
    void MarkReadAfterDelay();
    void SaveMessageAs();
    void ReloadWithoutFilter();
    [[nodiscard]] bool HasShownItem() const;
    [[nodiscard]] bool CanSaveEdited() const;

    // Panes and state (TriForm.cpp).
    void CollectionChanged();
    void ListUpdated();
    [[nodiscard]] bool ConfirmDelete();
    void UpdateCaption();
    void UpdateStatusBar();
    void RenumberTabOrder();
    void FitTreeWidth();
    void FitPaneHeight();

    // The window's actions, under the name the language switch looks for.
    QObject* FActionList;
    QWidget* FClient;
    QVBoxLayout* FClientLayout;
    TTextToolbar* FTextToolbar;
    QSplitter* FListPanel;
    TMesgListView* FList;
    TOETreeView* FTree = nullptr;
    // The context menus: editing for the list, folder commands for the tree.
    QMenu* FTextPopup = nullptr;
    QMenu* FFolderPopup = nullptr;
    // The list above, the reading pane below.
    QSplitter* FHorzSplitter;
    TQuickMesgEditor* FPane = nullptr;
    // The message now in the pane, held while it is shown, and when it
    // was shown (invalid for none).
    TSyncItemRef FPaneItem;
    QDateTime FShownAt;
    // LeaveEditedMessage is on its way.
    bool FLeaveQueued = false;
    QTimer* FMarkReadTimer;
    TFolderHistory FHistory;
    // The folder chosen in this window's last copy or move.
    TStoreId FLastTarget = kNoStoreId;
    bool FShownOnce = false;
    QString FUnixBoxPath;
    // The favourites as menu items; none without a favourites object.
    TFavoriteActions* FFavorites = nullptr;
};
