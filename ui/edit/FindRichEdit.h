#pragma once

#include "ui/edit/WideRichEdit.h"

#include <QPointer>

// A text control that the find actions search in. Both find actions are
// enabled while it has the focus and holds text. The search options
// "FindDown", "WholeWord" and "MatchCase" are read by name from the
// options object (the settings object unless another is set).
class TFindRichEdit : public TWideRichEdit, public IFindInterface
{
    Q_OBJECT
public:
    explicit TFindRichEdit(QWidget* parent = nullptr);

    [[nodiscard]] bool CanFind() const override;
    // Asks for the text in the find dialog, starting from the text at the
    // caret; on OK with a text, searches for it.
    void Find() override;
    [[nodiscard]] bool CanSearchAgain() const override { return CanFind(); }
    // Searches for the last text again; with none, finds.
    void SearchAgain() override;

    // Remembers the text and searches for it from the end of the selection
    // towards the end of the text ("FindDown"), or from the start of the
    // selection towards the start of the text. A match is selected and
    // scrolled into view; without one, an information box names the text
    // and nothing moves. True when found.
    bool Search(const QString& text);
    [[nodiscard]] const QString& LastText() const { return FLastText; }

    // The find dialog's first text: the selection when it lies within one
    // line, else the word around the caret (delimited as in the one-line
    // edits); empty between two delimiters.
    [[nodiscard]] QString TextAroundCaret() const;

    [[nodiscard]] QObject* SearchOptions() const;
    void SetSearchOptions(QObject* options) { FOptions = options; }

private:
    QString FLastText;
    QPointer<QObject> FOptions;
};
