#pragma once

#include "ui/dialogs/Dialog.h"

#include <array>

class QListWidget;
class TSpellChecker;
class TWideEdit;

// The dialog that asks what to do with a misspelled word. On the left the
// word ("Wrong", display only), the replacement ("ChangeTo") and the
// suggestions ("Suggest"); on the right three rows of two buttons: Ignore
// and Ignore all, Change and Change all, Add and Cancel. Each button ends
// the dialog with its answer (TSpellAnswer); Escape and closing the window
// stop the check.
//
// "Ignore" is the default button until a suggestion is chosen or the
// replacement edit is entered, which make "Change" the default. Typing in
// the edit selects the first suggestion that begins with the typed text.
// "Change" with a replacement the dictionaries do not know asks
// "ConfirmWord" first; No keeps the dialog open.
class TSpellCheckDialog : public TDialog
{
    Q_OBJECT
public:
    explicit TSpellCheckDialog(const TSpellChecker& checker);

    // Shows the word (with AlwaysSuggest, its suggestions, the first one
    // also as the replacement; without, an empty list and the replacement
    // left as it was) and runs the dialog. Returns the answer; the
    // replacement receives the edit's text.
    int Ask(const QString& word, QString& replacement);

    // The buttons in the order of their answers, Ignore to Add, then Cancel.
    enum TButton { bIgnore, bIgnoreAll, bChange, bChangeAll, bAdd, bCancel, kButtonCount };
    [[nodiscard]] QPushButton* Button(TButton button) const { return FButtons[button]; }
    [[nodiscard]] TWideEdit* WrongField() const { return FWrong; }
    [[nodiscard]] TWideEdit* ReplacementEdit() const { return FReplacement; }
    [[nodiscard]] QListWidget* SuggestionList() const { return FSuggestions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFields(int fieldWidth);
    void BuildButtons(int buttonWidth);
    void ShowSuggestions(const QStringList& suggestions);
    void SuggestionChosen(int row);
    void ReplacementTyped(const QString& text);
    void ChangeClicked();
    void MakeDefault(QPushButton* button);

    const TSpellChecker& FChecker;
    TWideEdit* FWrong = nullptr;
    TWideEdit* FReplacement = nullptr;
    QListWidget* FSuggestions = nullptr;
    std::array<QPushButton*, kButtonCount> FButtons{};
    // Set while the program moves the list's selection itself, so that
    // only the user's choice counts as choosing a suggestion.
    bool FSelecting = false;
};
