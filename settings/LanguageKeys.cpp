#include "settings/LanguageKeys.h"

namespace {

// Grouped by section; each group says who asks.
constexpr TLanguageKey kKeys[] = {
    // The display name and the folder tree's root node.
    {"Program", "Name"},
    {"Program", "RootNode"},

    // Message box captions and buttons, shared dialog texts.
    {"Common", "Warning"}, {"Common", "Error"}, {"Common", "Information"}, {"Common", "Confirm"},
    {"Common", "Yes"}, {"Common", "No"}, {"Common", "Ok"}, {"Common", "Cancel"}, {"Common", "Abord"},
    {"Common", "Retry"}, {"Common", "Ignore"}, {"Common", "All"}, {"Common", "NoAll"}, {"Common", "YesAll"},
    {"Common", "Help"}, {"Common", "None"}, {"Common", "Close"}, {"Common", "OpenFile"}, {"Common", "SaveFile"},
    {"Common", "Options"},

    // File errors 0-5 (stream, open, create, read, write, ini file), folder
    // creation (10) and renaming (21, with the old and the new name).
    {"Error", "0"}, {"Error", "1"}, {"Error", "2"}, {"Error", "3"}, {"Error", "4"}, {"Error", "5"},
    {"Error", "10"}, {"Error", "21"},

    // Failures to open a file with its program, by the shell's result codes.
    {"ShellError", "0"}, {"ShellError", "1"}, {"ShellError", "2"}, {"ShellError", "3"}, {"ShellError", "4"},
    {"ShellError", "5"}, {"ShellError", "6"}, {"ShellError", "7"}, {"ShellError", "8"}, {"ShellError", "9"},
    {"ShellError", "10"}, {"ShellError", "11"}, {"ShellError", "12"},

    // Store failures: the store cannot be opened, a target folder cannot be
    // opened, messages cannot be copied or moved, a folder copy or move fails.
    {"OutlookError", "Init"}, {"OutlookError", "0"}, {"OutlookError", "1"}, {"OutlookError", "2"},
    {"OutlookError", "3"}, {"OutlookError", "4"},

    // File dialog filters.
    {"FileExt", "eml"}, {"FileExt", "txt"}, {"FileExt", "mbox"}, {"FileExt", "*.*"},

    // The language choice of the options dialog.
    {"Languages", "english"},

    // Hints of the bound controls (by property name) and of the folder tree.
    {"Hint", "FolderTree"}, {"Hint", "ShowPreview"}, {"Hint", "DeleteDoubleReturn"}, {"Hint", "MarkQuote"},
    {"Hint", "ShowHeader"}, {"Hint", "AdvertismentFilter"}, {"Hint", "GreetingFilter"},
    {"Hint", "AdvertismentLevel"}, {"Hint", "AutoRus"}, {"Hint", "AutoRusHeader"}, {"Hint", "LangFile"},
    {"Hint", "AdvSample"}, {"Hint", "MessageSort"}, {"Hint", "InvertSort"}, {"Hint", "WholeWord"},
    {"Hint", "MatchCase"}, {"Hint", "FindDown"}, {"Hint", "ShowTextToolbar"}, {"Hint", "ShowTree"},
    {"Hint", "ShowEditor"}, {"Hint", "ShowStatusbar"}, {"Hint", "IgnoreAllUpperCase"}, {"Hint", "IgnoreNumbers"},
    {"Hint", "IgnoreInternet"}, {"Hint", "IgnoreFiles"}, {"Hint", "IgnoreBrackets"}, {"Hint", "DuplicateSpaces"},
    {"Hint", "DuplicateWords"}, {"Hint", "MainDicOnly"}, {"Hint", "AlwaysSuggest"},

    // The find dialog: caption, label, "not found", options and directions.
    {"EditDlg", "0"}, {"EditDlg", "2"}, {"EditDlg", "9"}, {"EditDlg", "WholeWord"}, {"EditDlg", "MatchCase"},
    {"EditDlg", "FindDown"}, {"EditDlg", "FindDown0"}, {"EditDlg", "FindDown1"},

    // Options, add-filter, charset, layout, copy/move and column dialogs.
    {"MDialogs", "OptionsTitle"}, {"MDialogs", "Editor"}, {"MDialogs", "AdsFilter"}, {"MDialogs", "Lang"},
    {"MDialogs", "ShowPreview"}, {"MDialogs", "DeleteDoubleReturn"}, {"MDialogs", "MarkQuote"},
    {"MDialogs", "ShowHeader"}, {"MDialogs", "AdvertismentFilter"}, {"MDialogs", "GreetingFilter"},
    {"MDialogs", "AdvertismentLevel"}, {"MDialogs", "TrackLabel"}, {"MDialogs", "AutoRus"},
    {"MDialogs", "AutoRusHeader"}, {"MDialogs", "LangFile"}, {"MDialogs", "AddFilter"}, {"MDialogs", "AdvSample"},
    {"MDialogs", "EditButtonLabel"}, {"MDialogs", "EditAtc"}, {"MDialogs", "TitleCharset"},
    {"MDialogs", "SelectCharset"}, {"MDialogs", "ViewsTitle"}, {"MDialogs", "ShowTextToolbar"},
    {"MDialogs", "ShowTree"}, {"MDialogs", "ShowEditor"}, {"MDialogs", "ShowStatusbar"},
    {"MDialogs", "TitleMoveTo"}, {"MDialogs", "TitleCopyTo"}, {"MDialogs", "SelectFolder"},
    {"MDialogs", "ColEditTitle"}, {"MDialogs", "LeftLabel"}, {"MDialogs", "RightLabel"},
    {"MDialogs", "TextColumns"},

    // The sort dialog: title, the bound controls and the sort orders
    // msColumns ... msDateReceived as numbered entries 0-9.
    {"MesgSort", "Title"}, {"MesgSort", "MessageSort"}, {"MesgSort", "InvertSort"},
    {"MesgSort", "0"}, {"MesgSort", "1"}, {"MesgSort", "2"}, {"MesgSort", "3"}, {"MesgSort", "4"},
    {"MesgSort", "5"}, {"MesgSort", "6"}, {"MesgSort", "7"}, {"MesgSort", "8"}, {"MesgSort", "9"},

    // The favourites dialogs.
    {"FavoritesDlg", "AddTitle"}, {"FavoritesDlg", "OrganiseTitle"}, {"FavoritesDlg", "ShortcutTitle"},
    {"FavoritesDlg", "AddLabel"}, {"FavoritesDlg", "ShortcutLabel"}, {"FavoritesDlg", "ListboxLabel"},
    {"FavoritesDlg", "ShortcutButton"}, {"FavoritesDlg", "ShortcutFolder"}, {"FavoritesDlg", "ConfirmShortcut"},

    // Paste progress (3: percentage, 10: caption), folder names (8/15:
    // rename title and label, 28/29: new folder title and label) and the
    // confirmation of a final deletion (50).
    {"ParaCopier", "3"}, {"ParaCopier", "8"}, {"ParaCopier", "10"}, {"ParaCopier", "15"}, {"ParaCopier", "28"},
    {"ParaCopier", "29"}, {"ParaCopier", "50"},

    // Message fields: list columns, editor captions, text forms.
    {"MesgFields", "Subject"}, {"MesgFields", "FromRealName"}, {"MesgFields", "FromEMail"},
    {"MesgFields", "ToRealName"}, {"MesgFields", "ToEmail"}, {"MesgFields", "DateSent"},
    {"MesgFields", "DateReceived"}, {"MesgFields", "Size"}, {"MesgFields", "Attachment"},
    {"MesgFields", "Priority"}, {"MesgFields", "Flagged"}, {"MesgFields", "From"}, {"MesgFields", "To"},
    {"MesgFields", "CC"}, {"MesgFields", "BC"}, {"MesgFields", "Date"}, {"MesgFields", "Sender"},
    {"MesgFields", "ReplyTo"}, {"MesgFields", "Organization"}, {"MesgFields", "NewsGroup"},

    // Pages and grid of the message view.
    {"MesgEditor", "Body"}, {"MesgEditor", "Attach"}, {"MesgEditor", "Add"}, {"MesgEditor", "Header"},
    {"MesgEditor", "Fields"}, {"MesgEditor", "Values"},

    // Browser window: status bar format and the save question.
    {"MesgExpl", "StatusBar"}, {"MesgExpl", "Confirm"}, {"MesgExpl", "DbxImported"}, {"MesgExpl", "DbxProblems"},

    // The spell checker's dialogs and options.
    {"SpellCheck", "DlgTitle"}, {"SpellCheck", "Wrong"}, {"SpellCheck", "ChangeTo"}, {"SpellCheck", "Suggest"},
    {"SpellCheck", "Ignore"}, {"SpellCheck", "IgnoreAll"}, {"SpellCheck", "Change"}, {"SpellCheck", "ChangeAll"},
    {"SpellCheck", "Add"}, {"SpellCheck", "Cancel"}, {"SpellCheck", "ConfirmWord"},
    {"SpellCheck", "RepeativeFound"}, {"SpellCheck", "DuplFound"}, {"SpellCheck", "OptionsTitle"},
    {"SpellCheck", "CheckFinished"}, {"SpellCheck", "IgnoreAllUpperCase"}, {"SpellCheck", "IgnoreNumbers"},
    {"SpellCheck", "IgnoreInternet"}, {"SpellCheck", "IgnoreFiles"}, {"SpellCheck", "IgnoreBrackets"},
    {"SpellCheck", "DuplicateSpaces"}, {"SpellCheck", "DuplicateWords"}, {"SpellCheck", "MainDicOnly"},
    {"SpellCheck", "AlwaysSuggest"},

    // Menu captions by component name. Top-level menus of every window.
    {"Menu", "FileMenu"}, {"Menu", "NewMenu"}, {"Menu", "EditMenu"}, {"Menu", "ViewMenu"},
    {"Menu", "MessageMenu"}, {"Menu", "FavoritesMenu"}, {"Menu", "OptionsMenu"}, {"Menu", "WindowMenu"},
    {"Menu", "HelpMenu"},
    // Browser window: File menu.
    {"Menu", "mNewBrowser"}, {"Menu", "mSave"}, {"Menu", "ASave"}, {"Menu", "mCreateFolder"},
    {"Menu", "mCompactFolder"}, {"Menu", "mCompactAll"}, {"Menu", "MExportToMBox"}, {"Menu", "mImportFromMbox"}, {"Menu", "mImportDbx"},
    {"Menu", "mSaveWindowsAndExit"}, {"Menu", "mExit"},
    // Edit actions (the browser's own set and the shared set of the manager form).
    {"Menu", "AEditUndo"}, {"Menu", "AEditRedo"}, {"Menu", "AEditCut"}, {"Menu", "AEditCopy"},
    {"Menu", "AEditPaste"}, {"Menu", "AEditDelete"}, {"Menu", "AEditSelectAll"}, {"Menu", "AEditFind"},
    {"Menu", "AEditSearchAgain"}, {"Menu", "ACopyTo"}, {"Menu", "AMoveTo"},
    // View menu.
    {"Menu", "mColumns"}, {"Menu", "mMesgSort"}, {"Menu", "mLayout"}, {"Menu", "mGoToInbox"},
    {"Menu", "APrevFolder"}, {"Menu", "ANextFolder"}, {"Menu", "mReread"},
    // Message menu and the text toolbar.
    {"Menu", "ASaveAsMesg"}, {"Menu", "APrevMesg"}, {"Menu", "aNextMesg"}, {"Menu", "APrevMsgButton"},
    {"Menu", "aNextMsgButton"}, {"Menu", "ADeleteMesg"}, {"Menu", "aMarkAsUnRead"}, {"Menu", "aMarkAsRead"},
    {"Menu", "aChangeCharset"}, {"Menu", "aReloadWithoutAdFilter"}, {"Menu", "aSpellCheck"},
    // Favorites and Options menus.
    {"Menu", "AAddFavorites"}, {"Menu", "AOrganiseFavorites"}, {"Menu", "mEditorOptions"}, {"Menu", "mFilter"},
    {"Menu", "MAddFilter"}, {"Menu", "mFont"}, {"Menu", "mSpellCheckOptions"},
    // Help menu.
    {"Menu", "mHelpAbout"}, {"Menu", "mHelpWebSite"}, {"Menu", "mHelpSupport"}, {"Menu", "mHelpUpdate"},
    // Stand-alone message window.
    {"Menu", "mFileNewExpl"}, {"Menu", "mOpenFile"}, {"Menu", "mSaveAs"}, {"Menu", "mViews"},
    // Manager form: folder pop-up menu and folder actions.
    {"Menu", "mOpenFolder"}, {"Menu", "AContextCutFolder"}, {"Menu", "AContextCopyFolder"},
    {"Menu", "AContextPasteFolder"}, {"Menu", "AContextDeleteFolder"}, {"Menu", "mCreateFolder3"},
    {"Menu", "AContextRenameFolder"}, {"Menu", "ARenameFolder"},
    // Manager form: ordered-list actions.
    {"Menu", "AListBoxAdd"}, {"Menu", "AListBoxDel"}, {"Menu", "AListBoxSave"}, {"Menu", "AListBoxLoad"},
    {"Menu", "AListBoxMoveUp"}, {"Menu", "AListBoxMoveDown"}, {"Menu", "AListBoxMakeDef"},
    {"Menu", "AListBoxProperty"},
};

} // namespace

std::span<const TLanguageKey> RequiredLanguageKeys()
{
    return kKeys;
}
