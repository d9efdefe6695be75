#include "ui/dialogs/FavoritesDialogs.h"

#include "settings/GlobStrings.h"
#include "store/OEFavorites.h"
#include "ui/MessageBoxes.h"
#include "ui/VarControls.h"
#include "ui/VarEdit.h"
#include "ui/actions/EditInterfaces.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/dialogs/OrderListBox.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

namespace {

const QString kSection = QStringLiteral("FavoritesDlg");
// What a hotkey slot holds when no folder is on it.
constexpr TStoreId kEmptySlot = 0;
// The organiser's list shows this many rows at once.
constexpr int kListRows = 10;

} // namespace

TFavoritesDlg::TFavoritesDlg(TOEFavorites& favorites, TStoreId folder, const QString& title)
    : TDialog(TName{title})
    , FFavorites(favorites)
    , FFolder(folder)
{
}

// ---------------------------------------------------------- shortcut choice

TVarCombo* TFavoritesDlg::AddShortcutChoice(int entry)
{
    FShortcut = AddCombo();
    NameControl(FShortcut, QStringLiteral("Shortcut"));
    FShortcut->addItem(Lang().NoneText());
    for (int digit = 0; digit < TOEFavorites::kHotkeySlots; ++digit)
        FShortcut->addItem(QStringLiteral("Control+%1").arg(digit));
    FShortcut->setEditable(false);
    FChoice = std::clamp(entry, 0, TOEFavorites::kHotkeySlots);
    FPrevious = FChoice;
    FShortcut->BindVariable(&FChoice);
    connect(FShortcut, &QComboBox::currentIndexChanged, this, &TFavoritesDlg::ShortcutChosen);
    return FShortcut;
}

void TFavoritesDlg::ShortcutChosen(int entry)
{
    const TStoreId holder = entry >= 1 ? FFavorites.HotkeyFolder(entry - 1) : kEmptySlot;
    if (holder != kEmptySlot && holder != FFolder) {
        const QString question = TGlobStrings::FormatText(Lang().SectionValue(kSection, QStringLiteral("ConfirmShortcut")),
                                                          {entry - 1, FFavorites.FolderName(holder)});
        const int answer = ConfirmBox(question);
        if (answer != mrYes) {
            entry = answer == mrNo ? 0 : FPrevious;
            const QSignalBlocker blocker(FShortcut);
            FShortcut->setCurrentIndex(entry);
        }
    }
    FPrevious = entry;
}

// --------------------------------------------------------------- organiser

void TFavoritesDlg::BuildOrganiser()
{
    const TDialogUnits& units = Units();
    const int cw = units.CharWidth;
    AddNamedLabel(QStringLiteral("ListboxLabel"));

    FListBox = new TListBoxForList(this);
    NameControl(FListBox, QStringLiteral("ListBox"));
    FListBox->OnText = [this](int index) { return FFavorites.FavoriteName(index); };
    FListBox->OnDelete = [this](int index) { FFavorites.DeleteFavorite(index); };
    FListBox->SetListOperations([this] { return FFavorites.Count(); },
                                [this](int from, int to) { FFavorites.MoveFavorite(from, to); });
    // The list-box actions of the buttons are its pop-up menu as well.
    FListBox->setContextMenuPolicy(Qt::ActionsContextMenu);

    FOrderButtons = new TOrderButtons(this);
    FOrderButtons->SetOrientation(Qt::Vertical);
    FOrderButtons->SetListBox(FListBox);
    for (int kind : {okDelete, okMoveUp, okMoveDown})
        FOrderButtons->AddKind(kind);
    FShortcutButton = FOrderButtons->AddButton(new QPushButton(Lang().ValueOf(QStringLiteral("ShortcutButton"))));
    NameControl(FShortcutButton, QStringLiteral("ShortcutButton"));
    connect(FShortcutButton, &QPushButton::clicked, this, &TFavoritesDlg::EditShortcut);
    const int buttonWidth = std::max(FOrderButtons->width(), units.ButtonWidth(Lang().CommonText(QStringLiteral("Close"))));

    // As wide as the widest name and its margins, with room for a scroll bar
    // when the names do not fit in the rows shown.
    int widest = 0;
    for (int i = 0; i < FListBox->count(); ++i)
        widest = std::max(widest, units.TextWidth(FListBox->item(i)->text()));
    int listWidth = widest + 2 * cw + 2 * FListBox->frameWidth();
    if (FListBox->count() > kListRows)
        listWidth += FListBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FListBox);
    const int rowHeight = std::max(FListBox->sizeHintForRow(0), FListBox->fontMetrics().height());
    // Ten rows, or more when the button column with "Close" below it needs it.
    const int listHeight = std::max(kListRows * rowHeight + 2 * FListBox->frameWidth(),
                                    FOrderButtons->height() + units.CharHeight + units.RowHeight);
    WidenTo(cw + std::max(listWidth, buttonWidth) + 2 * cw + buttonWidth + cw);

    const int top = CursorY();
    const int column = ClientWidth() - cw - buttonWidth;
    Place(FListBox, QRect(cw, top, column - 3 * cw, listHeight), akLeft | akTop | akRight);
    FListBox->setCurrentRow(FListBox->count() > 0 ? 0 : -1);
    Place(FOrderButtons, QRect(column, top, buttonWidth, listHeight - units.RowHeight - units.CharHeight),
          akTop | akRight);
    // "Close" ends the column, level with the list's bottom.
    SetCursorY(top + listHeight - units.RowHeight);
    FinishHeight();
    // The column has moved with the right edge when the dialog grew.
    const int closeWidth = units.ButtonWidth(Lang().CommonText(QStringLiteral("Close")));
    AddClose(FOrderButtons->x() + (FOrderButtons->width() - closeWidth) / 2, CursorY());
    FListBox->setFocus();
}

void TFavoritesDlg::EditShortcut()
{
    const int index = FListBox->currentRow();
    if (index >= 0)
        FavoriteShortcutDialog(FFavorites, index);
}

// ------------------------------------------------------------ entry points

bool AddFavoriteDialog(TOEFavorites& favorites, TStoreId folder)
{
    // The root cannot be a favourite (TOEFavorites::AddFavorite).
    if (folder == kRootFolderId || folder == kNoStoreId)
        return false;
    const TLanguageSection section(kSection);
    TFavoritesDlg dialog(favorites, folder, QStringLiteral("AddTitle"));
    TVarEdit* name = dialog.AddEdit();
    dialog.NameControl(name, QStringLiteral("FolderName"));
    name->setText(favorites.FolderName(folder));
    name->setReadOnly(true);
    TVarCombo* shortcut = dialog.AddShortcutChoice(0);
    dialog.LabelsBeside({name, shortcut}, QStringList{QStringLiteral("AddLabel"), QStringLiteral("ShortcutLabel")});
    shortcut->setFocus();
    if (!dialog.RunOkCancel())
        return false;
    favorites.AddFavorite(folder, dialog.ChosenSlot());
    return true;
}

bool OrganiseFavoritesDialog(TOEFavorites& favorites)
{
    const TLanguageSection section(kSection);
    TFavoritesDlg dialog(favorites, kNoStoreId, QStringLiteral("OrganiseTitle"));
    dialog.BuildOrganiser();
    return dialog.RunDialog();
}

bool FavoriteShortcutDialog(TOEFavorites& favorites, int index)
{
    const TLanguageSection section(kSection);
    const TStoreId folder = favorites.FavoriteAt(index);
    const int shown = favorites.HotkeyOf(index);
    TFavoritesDlg dialog(favorites, folder, QStringLiteral("ShortcutTitle"));
    dialog.AddText(TGlobStrings::FormatText(Lang().ValueOf(QStringLiteral("ShortcutFolder")), {favorites.FolderName(folder)}));
    TVarCombo* shortcut = dialog.AddShortcutChoice(shown + 1);
    dialog.LabelBeside(shortcut, Lang().ValueOf(QStringLiteral("ShortcutLabel")));
    shortcut->setFocus();
    if (!dialog.RunOkCancel())
        return false;
    const int chosen = dialog.ChosenSlot();
    if (chosen == shown)
        return true;
    // The folder's shortcut changes: the digit it showed is freed, so its
    // menu item shows the new one.
    if (shown >= 0)
        favorites.SetHotkeyFolder(shown, kEmptySlot);
    if (chosen >= 0)
        favorites.SetHotkeyFolder(chosen, folder);
    return true;
}
