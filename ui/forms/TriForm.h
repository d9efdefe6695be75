#pragma once

#include "engine/StoreTypes.h"
#include "ui/forms/FolderHistory.h"
#include "ui/forms/TaskForm.h"


class QKeySequence;
class TIniFiler;
class QSplitter;
class QVBoxLayout;
class TMesgListView;
class TOETreeView;
class TOeMesgItems;
class TTargetAction;
class TFavoriteActions;
class TOEFavorites;
class TTextToolbar;
class TWindowAction;

// The browser window: the folder tree on the left, the message list of the
// current folder on the right. Any number of them may be open; each has its
// own folder, list and navigation history. The window holds no store or
// message logic: it ties the list, its store collection and the tree
// together, keeps the history and decides when each command is enabled.
//
// Implemented by concern: TriForm.cpp (panes and layout), TriFormCommands.cpp
// (menus and commands).
class TTriForm : public TTaskForm
{
    Q_OBJECT
    Q_PROPERTY(bool ShowTextToolbar READ ShowTextToolbar WRITE SetShowTextToolbar)
    Q_PROPERTY(bool ShowTree READ ShowTree WRITE SetShowTree)
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
    // A new browser window like this one, on the same folder, shown.
    TTriForm* NewBrowser();

    // Rebuilds the Favorites menu of every browser window (the favourites
    // changed).
    static void RebuildFavoriteMenus();

    // The window's action of that name ("mNewBrowser", "APrevFolder"...).
    [[nodiscard]] QAction* Action(const char* name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

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

    // Mailbox files (TriFormMailbox.cpp).
    [[nodiscard]] QString AskMailbox(const char* title, bool save);
    void ExportToMailbox();
    void ImportFromMailbox();
    void ChooseLayout();
    void CreateFolder();
    void RenameFolder();
    void CompactFolder();
    void CompactAll();
    void GoToInbox();
    void Reread();
    void OpenNewBrowser();

    // Panes and state (TriForm.cpp).
    void CollectionChanged();
    void ListUpdated();
    [[nodiscard]] bool ConfirmDelete();
    void UpdateCaption();
    void UpdateStatusBar();
    void RenumberTabOrder();
    void FitTreeWidth();

    // The window's actions, under the name the language switch looks for.
    QObject* FActionList;
    QWidget* FClient;
    QVBoxLayout* FClientLayout;
    TTextToolbar* FTextToolbar;
    QSplitter* FListPanel;
    TMesgListView* FList;
    TOETreeView* FTree = nullptr;
    TFolderHistory FHistory;
    // The folder chosen in this window's last copy or move.
    TStoreId FLastTarget = kNoStoreId;
    bool FShownOnce = false;
    QString FUnixBoxPath;
    // The favourites as menu items; none without a favourites object.
    TFavoriteActions* FFavorites = nullptr;
};
