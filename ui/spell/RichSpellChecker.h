#pragma once

#include "content/spell/SpellChecker.h"

#include <memory>

class QTextEdit;
class TSpellCheckDialog;

// The spell checker over the program's rich edits.
class TRichSpellChecker : public TSpellChecker
{
    Q_OBJECT
public:
    explicit TRichSpellChecker(QObject* owner = nullptr);

    // Checks the edit's text from the caret to its end (see CheckText);
    // true when the check reached the end. Announces Changed afterwards,
    // also when an error ends the check.
    bool CheckRichEdit(QTextEdit& edit);
    // Tells those who mark misspelled words that their marks may be out of
    // date (words were added or ignored, options changed).
    void NotifyChanged() { Q_EMIT Changed(); }

Q_SIGNALS:
    void Changed();
};

// The checker the program shares: it answers the misspelled-word event
// with the spell-check dialog (made on first use and kept) and the
// repeated-word and doubled-spaces events with Yes/No/Cancel boxes.
class TRichSpellCheckerDlg : public TRichSpellChecker
{
    Q_OBJECT
public:
    explicit TRichSpellCheckerDlg(QObject* owner = nullptr);
    ~TRichSpellCheckerDlg() override;

    // The dialog; none before the first misspelled word.
    [[nodiscard]] TSpellCheckDialog* Dialog() const { return FDialog.get(); }

protected:
    int MisspelledWord(const QString& word, QString& replacement) override;
    int RepeatedWord(const QString& words) override;
    int DoubleSpaces(const QString& line) override;

private:
    std::unique_ptr<TSpellCheckDialog> FDialog;
};
