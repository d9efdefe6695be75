#pragma once

#include "engine/StoreTypes.h"
#include "ui/dialogs/Dialog.h"

class QPushButton;
class TListBoxForList;
class TOEFavorites;
class TOrderButtons;
class TVarCombo;

// The favourites dialogs: adding a folder to the favourites, organising
// them, and a favourite's shortcut. Their texts are in the language section
// "FavoritesDlg".
//
// The shortcut choice offers "None" and Control+0 to Control+9 (entry k
// stands for hotkey digit k - 1). Choosing a digit that another favourite
// holds asks first: Cancel keeps the previous choice, No chooses "None",
// Yes keeps the digit, which the other folder then loses on OK.
class TFavoritesDlg : public TDialog
{
    Q_OBJECT
public:
    // Captioned with the named entry of "FavoritesDlg", about `folder`.
    TFavoritesDlg(TOEFavorites& favorites, TStoreId folder, const QString& title);

    [[nodiscard]] TStoreId Folder() const { return FFolder; }
    [[nodiscard]] TVarCombo* ShortcutCombo() const { return FShortcut; }
    [[nodiscard]] TListBoxForList* ListBox() const { return FListBox; }
    [[nodiscard]] TOrderButtons* OrderButtons() const { return FOrderButtons; }
    [[nodiscard]] QPushButton* ShortcutButton() const { return FShortcutButton; }

    // The shortcut choice, at entry `entry`; the caller labels it.
    TVarCombo* AddShortcutChoice(int entry);
    // The chosen hotkey digit, -1 for "None".
    [[nodiscard]] int ChosenSlot() const { return FChoice - 1; }

    // The favourites list with its order buttons, "ShortcutButton" and "Close".
    void BuildOrganiser();

private:
    void ShortcutChosen(int entry);
    void EditShortcut();

    TOEFavorites& FFavorites;
    TStoreId FFolder;
    // The entry chosen (written on OK) and the one shown before the last change.
    int FChoice = 0;
    int FPrevious = 0;
    TVarCombo* FShortcut = nullptr;
    TListBoxForList* FListBox = nullptr;
    TOrderButtons* FOrderButtons = nullptr;
    QPushButton* FShortcutButton = nullptr;
};

// Asks for the hotkey of a new favourite; on OK adds the folder to the
// favourites (when it is not yet one) with the chosen hotkey digit. True on OK.
bool AddFavoriteDialog(TOEFavorites& favorites, TStoreId folder);
// Lets the user delete and reorder the favourites and set their shortcuts;
// the changes are made at once. True when closed.
bool OrganiseFavoritesDialog(TOEFavorites& favorites);
// Asks for the shortcut of the favourite at `index`; on OK it gets the
// chosen hotkey digit instead of the one it showed (the digit's previous
// folder loses it), or loses that one for "None". True on OK.
bool FavoriteShortcutDialog(TOEFavorites& favorites, int index);
