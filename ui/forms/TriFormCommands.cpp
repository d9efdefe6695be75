#include "ui/forms/TriForm.h"

#include "base/SyncItems.h"
#include "settings/GlobStrings.h"
#include "settings/Options.h"
#include "store/OEFavorites.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "store/OutlookError.h"
#include "ui/actions/ActionSets.h"
#include "ui/actions/EditActions.h"
#include "ui/actions/ListActions.h"
#include "ui/actions/TextToolbar.h"
#include "ui/actions/WindowAction.h"
#include "settings/SystemCodePage.h"
#include "ui/dialogs/ColumnsDialog.h"
#include "ui/dialogs/FavoritesDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/dialogs/SortDialog.h"
#include "ui/spell/SpellActions.h"
#include "ui/spell/SpellOptions.h"
#include "ui/favorites/FavoriteActions.h"
#include "ui/dialogs/FolderNameDialog.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/forms/BackgroundTask.h"
#include "ui/forms/SharedFont.h"
#include "ui/forms/WindowLayout.h"
#include "ui/mesglist/MesgListView.h"
#include "ui/MessageBoxes.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/FolderTreeClipboard.h"
#include "ui/tree/OETreeView.h"

#include <QDir>
#include <QMenuBar>

namespace {

// Copy to and Move to show progress beyond this many messages.
constexpr qsizetype kMessagesWithoutProgress = 200;

struct TMenuEntry
{
    const char* Menu;        // the "Menu" key of the menu's caption
    const char* Caption;     // the built-in caption
    QList<const char*> Items; // action names; nullptr for a separator
};

QString MenuCaption(const char* key, const char* caption)
{
    const QString text = Lang().SectionValue(QStringLiteral("Menu"), QString::fromLatin1(key));
    return text.isEmpty() ? QString::fromUtf8(caption) : text;
}

} // namespace

TWindowAction* TTriForm::AddAction(const char* name, const char* caption, void (TTriForm::*execute)())
{
    return AddCommand(name, caption, [this, execute] { (this->*execute)(); });
}

TWindowAction* TTriForm::AddCommand(const char* name, const char* caption, std::function<void()> execute)
{
    auto* action = new TWindowAction(name, QString::fromUtf8(caption), FActionList);
    action->OnExecute = std::move(execute);
    addAction(action);
    return action;
}

void TTriForm::CreateActions()
{
    AddAction("mNewBrowser", "New browser", &TTriForm::OpenNewBrowser)->setShortcut(QKeySequence::New);
    TWindowAction* save = AddCommand("mSave", "Save", [this] { SaveEdits(); });
    save->setShortcut(QKeySequence::Save);
    save->EnabledWhen = [this] { return CanSaveEdited(); };
    AddAction("mCreateFolder", "Create folder...", &TTriForm::CreateFolder)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
    TWindowAction* rename = AddAction("mRenameFolder", "Rename", &TTriForm::RenameFolder);
    rename->setShortcut(QKeySequence(Qt::Key_F6));
    rename->EnabledWhen = [this] { return FTree && IsOrdinaryFolder(FTree->SelectedNode()); };
    AddAction("mCompactFolder", "Compact", &TTriForm::CompactFolder);
    AddAction("mCompactAll", "Compact all", &TTriForm::CompactAll);
    AddAction("MExportToMBox", "Export to mailbox file...", &TTriForm::ExportToMailbox)->EnabledWhen = [this] {
        return FList->IsReady();
    };
    AddAction("mImportFromMbox", "Import from mailbox file...", &TTriForm::ImportFromMailbox)->EnabledWhen = [this] {
        return FList->IsReady();
    };
    AddAction("mSaveWindowsAndExit", "Exit", &TTriForm::ExitProgram)->setShortcut(QKeySequence::Quit);
    AddAction("mImportDbx", "Import Outlook Express store...", &TTriForm::ImportOutlookExpress)->EnabledWhen = [this] {
        return FList->IsReady();
    };
    AddAction("mExit", "Close", &TTriForm::CloseWindow)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    for (QAction* action : CreateEditActions(FActionList))
        addAction(action);
    TWindowAction* copyTo = AddAction("ACopyTo", "Copy to...", &TTriForm::CopyTo);
    copyTo->setShortcut(QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_C));
    copyTo->EnabledWhen = [this] { return CanCopyMove(false); };
    TWindowAction* moveTo = AddAction("AMoveTo", "Move to...", &TTriForm::MoveTo);
    moveTo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    moveTo->EnabledWhen = [this] { return CanCopyMove(true); };

    AddAction("mLayout", "Layout...", &TTriForm::ChooseLayout);
    AddCommand("mColumns", "Columns...", [this] { TColumnsDialog(*FList).Execute(); });
    AddCommand("mMesgSort", "Sort...", [this] { RunSortDialog(*FList); });
    AddAction("mGoToInbox", "Go to Inbox", &TTriForm::GoToInbox)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    TWindowAction* back = AddAction("APrevFolder", "Back", &TTriForm::GoBack);
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    back->EnabledWhen = [this] { return FHistory.CanGoBack(); };
    TWindowAction* forward = AddAction("ANextFolder", "Forward", &TTriForm::GoForward);
    forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    forward->EnabledWhen = [this] { return FHistory.CanGoForward(); };
    AddAction("mReread", "Reload", &TTriForm::Reread)->setShortcut(QKeySequence(Qt::Key_F5));

    AddListAction(new TPrevItemListAction(FActionList), "APrevMesg", QKeySequence(Qt::CTRL | Qt::Key_Comma), FList);
    AddListAction(new TNextItemListAction(FActionList), "aNextMesg", QKeySequence(Qt::CTRL | Qt::Key_Period), FList);
    AddListAction(new TPrevItemListAction(FActionList), "APrevMsgButton", QKeySequence(Qt::ALT | Qt::Key_Comma), nullptr);
    AddListAction(new TNextItemListAction(FActionList), "aNextMsgButton", QKeySequence(Qt::ALT | Qt::Key_Period), nullptr);
    AddListAction(new TAEditDelete(FActionList), "ADeleteMesg", QKeySequence(Qt::CTRL | Qt::Key_D), FList);
    TWindowAction* saveAs = AddAction("ASaveAsMesg", "Save as...", &TTriForm::SaveMessageAs);
    saveAs->setShortcut(QKeySequence(Qt::Key_F2));
    saveAs->EnabledWhen = [this] { return HasShownItem(); };
    TWindowAction* charset = AddAction("aChangeCharset", "Change charset...", &TTriForm::ChangeCharsetCommand);
    charset->EnabledWhen = [this] { return FPane != nullptr; };
    TWindowAction* unfiltered = AddAction("aReloadWithoutAdFilter", "Reload without advertisement filter",
                                          &TTriForm::ReloadWithoutFilter);
    unfiltered->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    unfiltered->EnabledWhen = [this] {
        return Options() && Options()->AdvertismentFilter() && HasShownItem() && !Messages().LoadRunning();
    };
    addAction(CreateSpellCheckAction(FActionList));
    TWindowAction* unread = AddAction("aMarkAsUnRead", "Mark as unread", &TTriForm::MarkUnread);
    unread->EnabledWhen = [this] { return HasSelection(); };
    TWindowAction* read = AddAction("aMarkAsRead", "Mark as read", &TTriForm::MarkRead);
    read->EnabledWhen = [this] { return HasSelection(); };
}

void TTriForm::AddListAction(TTargetAction* action, const char* name, const QKeySequence& key, QWidget* fixed)
{
    action->setObjectName(QString::fromLatin1(name));
    CaptionFromMenu(action);
    action->setShortcut(key);
    if (fixed)
        action->SetFixedControl(fixed);
    addAction(action);
}

void TTriForm::CreateMenus()
{
    static const TMenuEntry kMenus[] = {
        {"FileMenu", "&File", {"mNewBrowser", "mSave", nullptr, "mCreateFolder", "mRenameFolder", "mCompactFolder", "mCompactAll", nullptr,
                                "MExportToMBox", "mImportFromMbox", "mImportDbx", nullptr, "mExit", "mSaveWindowsAndExit"}},
        {"EditMenu", "&Edit",
         {"AEditUndo", "AEditRedo", nullptr, "AEditCut", "AEditCopy", "AEditPaste", "AEditDelete", "AEditSelectAll",
          nullptr, "AEditFind", "AEditSearchAgain", nullptr, "ACopyTo", "AMoveTo"}},
        {"ViewMenu", "&View", {"mLayout", "mColumns", "mMesgSort", nullptr, "mGoToInbox", "APrevFolder", "ANextFolder", nullptr, "mReread"}},
        {"MessageMenu", "&Message",
         {"APrevMesg", "aNextMesg", nullptr, "ASaveAsMesg", "ADeleteMesg", nullptr, "aMarkAsUnRead", "aMarkAsRead",
          nullptr, "aChangeCharset", "aReloadWithoutAdFilter", "aSpellCheck"}},
    };
    for (const TMenuEntry& entry : kMenus) {
        QMenu* menu = menuBar()->addMenu(MenuCaption(entry.Menu, entry.Caption));
        menu->setObjectName(QString::fromLatin1(entry.Menu));
        for (const char* item : entry.Items) {
            if (item)
                menu->addAction(Action(item));
            else
                menu->addSeparator();
        }
    }
    CreateFavoritesMenu();
    CreateOptionsMenu();
    QMenu* windows = menuBar()->addMenu(MenuCaption("WindowMenu", "&Window"));
    windows->setObjectName(QStringLiteral("WindowMenu"));
    SetWindowMenu(windows);
}

void TTriForm::CreateFavoritesMenu()
{
    TOEFavorites* favorites = Favorites();
    if (!favorites)
        return;
    QMenu* menu = menuBar()->addMenu(MenuCaption("FavoritesMenu", "F&avorites"));
    menu->setObjectName(QStringLiteral("FavoritesMenu"));
    TWindowAction* add = AddAction("AAddFavorites", "Add to favorites...", &TTriForm::AddFavorite);
    add->EnabledWhen = [this, favorites] {
        const TStoreId folder = Messages().FolderId();
        return folder != kNoStoreId && folder != kRootFolderId && favorites->IndexOfFavorite(folder) < 0;
    };
    TWindowAction* organise = AddAction("AOrganiseFavorites", "Organise favorites...", &TTriForm::OrganiseFavorites);
    organise->EnabledWhen = [favorites] { return favorites->Count() > 0; };
    menu->addActions({add, organise});
    FFavorites = new TFavoriteActions(*favorites, this);
    FFavorites->SetMenu(menu);
    FFavorites->OnGoTo = [this](TStoreId folder) { GoToFolder(folder); };
    FFavorites->Rebuild();
}

TOEFavorites* TTriForm::Favorites()
{
    return Options() ? qobject_cast<TOEFavorites*>(Options()->Favorites()) : nullptr;
}

void TTriForm::AddFavorite()
{
    if (TOEFavorites* favorites = Favorites())
        AddFavoriteDialog(*favorites, Messages().FolderId());
}

void TTriForm::OrganiseFavorites()
{
    if (TOEFavorites* favorites = Favorites())
        OrganiseFavoritesDialog(*favorites);
}

void TTriForm::RebuildFavoriteMenus()
{
    for (TTaskForm* form : Forms())
        if (auto* browser = qobject_cast<TTriForm*>(form); browser && browser->FFavorites)
            browser->FFavorites->Rebuild();
}

void TTriForm::CreateOptionsMenu()
{
    if (!Options())
        return;
    QMenu* menu = menuBar()->addMenu(MenuCaption("OptionsMenu", "&Options"));
    menu->setObjectName(QStringLiteral("OptionsMenu"));
    const auto page = [](int number) { return [number] { ShowOptionsDialog(*Options(), number); }; };
    menu->addAction(AddCommand("mEditorOptions", "Reading pane...", page(opEditor)));
    menu->addAction(AddCommand("mFilter", "Advertisement filter...", page(opAdsFilter)));
    menu->addAction(AddCommand("MAddFilter", "Add advertisement filter...",
                               [] { AddAdvertismentFilterDialog(*Options()); }));
    menu->addSeparator();
    menu->addAction(AddCommand("mSpellCheckOptions", "Spelling options...", &SpellOptions));
    menu->addAction(AddCommand("mFont", "Font...", [this] { ChooseSharedFont(this); }));
}

void TTriForm::FillTextToolbar()
{
    for (const char* name : {"APrevMsgButton", "aNextMsgButton", "AEditCopy", "AEditCut", "AEditPaste", "AEditDelete"})
        FTextToolbar->AddAction(Action(name));
}

QAction* TTriForm::Action(const char* name) const
{
    return FActionList->findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

TMessageIdList TTriForm::SelectedMessageIds() const
{
    TMessageIdList ids;
    const std::vector<int> rows = FList->SelectedRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (const TSyncItemRef item = FList->Messages()->ItemRefForRow(*row))
            ids.append(static_cast<TStoreId>(item->Id()));
    return ids;
}

bool TTriForm::HasSelection() const
{
    return !FList->SelectedRows().empty();
}

bool TTriForm::CanCopyMove(bool move) const
{
    if (!FTree)
        return false;
    if (FTree->hasFocus()) {
        const TStoreId folder = FTree->FolderId();
        return folder != kRootFolderId && folder != kNoStoreId && (!move || IsOrdinaryFolder(FTree->SelectedNode()));
    }
    return FList->IsReady() && HasSelection();
}

void TTriForm::CopyTo()
{
    CopyOrMove(false);
}

void TTriForm::MoveTo()
{
    CopyOrMove(true);
}

void TTriForm::CopyOrMove(bool move)
{
    const bool messages = !FTree || !FTree->hasFocus();
    if (FLastTarget == kNoStoreId)
        FLastTarget = FTree ? FTree->FolderId() : Messages().FolderId();
    const QString title = Lang().SectionValue(QStringLiteral("MDialogs"),
                                              move ? QStringLiteral("TitleMoveTo") : QStringLiteral("TitleCopyTo"));
    const QString label = Lang().SectionValue(QStringLiteral("MDialogs"), QStringLiteral("SelectFolder"));
    TOEFolders& folders = Messages().Folders();
    TFolderChooser dialog(title, label, folders, FLastTarget);
    const TStoreId target = dialog.Choose();
    if (target == kNoStoreId)
        return;
    FLastTarget = target;
    if (messages) {
        const TMessageIdList ids = SelectedMessageIds();
        const auto transfer = [&folders, ids, target, move] { return folders.CopyMoveTo(ids, target, move); };
        // A few messages go at once; many go under progress with Cancel.
        if (ids.size() > kMessagesWithoutProgress)
            RunFolderTask(this, folders, transfer);
        else
            transfer();
        return;
    }
    const TStoreId source = Messages().FolderId();
    if (!folders.CanMoveFolder(source, target)) {
        ErrorOf(3, TLangSection::OutlookError);
        return;
    }
    if (move) {
        if (!folders.MoveFolderId(source, target))
            ErrorOf(3, TLangSection::OutlookError);
    } else if (FTree->PasteFolder(source, target, Qt::CopyAction) == Qt::IgnoreAction) {
        ErrorOf(2, TLangSection::OutlookError);
    }
}

void TTriForm::MarkUnread()
{
    Messages().MarkRead(SelectedMessageIds(), false);
}

void TTriForm::MarkRead()
{
    Messages().MarkRead(SelectedMessageIds(), true);
}

void TTriForm::CreateFolder()
{
    CreateFolderIn(Messages().FolderId());
}

void TTriForm::CreateFolderIn(TStoreId parent)
{
    const QString name = AskNewFolderName();
    if (name.isEmpty())
        return;
    if (Messages().Folders().AddFolder(parent, EncodeSystemText(name)) == kNoStoreId)
        ErrorOf(10, TLangSection::Error);
}

void TTriForm::RenameFolder()
{
    RenameNode(FTree ? FTree->SelectedNode() : nullptr);
}

void TTriForm::RenameNode(TFolderNode* node)
{
    if (!IsOrdinaryFolder(node))
        return;
    const QString name = AskFolderRename(node->Name());
    if (!name.isEmpty() && name != node->Name())
        FTree->RenameFolder(node, name);
}

void TTriForm::ChooseLayout()
{
    const TLanguageSection section(QStringLiteral("MDialogs"));
    TDialog dialog(Lang().ValueOf(QStringLiteral("ViewsTitle")));
    dialog.setObjectName(QStringLiteral("LayoutDialog"));
    for (const char* name : {"ShowTextToolbar", "ShowTree", "ShowEditor", "ShowStatusbar"})
        dialog.AddCheck(this, QString::fromLatin1(name));
    if (dialog.RunOkCancel())
        RenumberTabOrder();
}

void TTriForm::CompactFolder()
{
    Compact(false);
}

void TTriForm::CompactAll()
{
    Compact(true);
}

void TTriForm::Compact(bool whole)
{
    const QString path = Messages().Folders().Namespace().Path();
    const TStoreResult result =
        RunInBackground(this, QDir::toNativeSeparators(path), [path, whole](const TStoreKeepGoing& keepGoing) {
            return TOEFolder::CompactStoreFile(path, whole, keepGoing);
        });
    if (result != srOk && result != srCancelled)
        ErrorBox(TGlobStrings::FormatText(OutlookErrorText(kCompactError), {QString::fromUtf8(StoreResultText(result))}));
}

void TTriForm::GoToInbox()
{
    FList->setFocus();
    Messages().GoToInbox();
}

void TTriForm::Reread()
{
    if (!Messages().LoadRunning())
        Messages().LoadMessages();
}

void TTriForm::OpenNewBrowser()
{
    NewBrowser();
}

void TTriForm::ExitProgram()
{
    SaveLayoutAndCloseAll();
}

void TTriForm::CloseWindow()
{
    close();
}
