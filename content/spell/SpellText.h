#pragma once

#include <QString>

// The text that an interactive spell check walks and edits: a rich edit
// of a message window, or text held in memory. Positions count UTF-16
// code units from 0; a line break is one character.
class TSpellText
{
public:
    virtual ~TSpellText() = default;

    [[nodiscard]] virtual qsizetype Length() const = 0;
    // Up to `count` characters from `start`; fewer at the end of the text.
    [[nodiscard]] virtual QString TextRange(qsizetype start, qsizetype count) const = 0;
    // Where the caret is (the start of the selection).
    [[nodiscard]] virtual qsizetype CaretPosition() const = 0;
    // Selects `count` characters from `start` and brings them into view; a
    // count of 0 puts the caret at `start`.
    virtual void Select(qsizetype start, qsizetype count) = 0;
    // Replaces the selection with the text (as one undoable step where the
    // control has undo) and leaves the caret after it.
    virtual void ReplaceSelection(const QString& text) = 0;
    // The text of the line that holds `position`, without its line break.
    [[nodiscard]] virtual QString LineText(qsizetype position) const = 0;
};

// A TSpellText over a string in memory; lines end at line feeds.
class TStringSpellText : public TSpellText
{
public:
    explicit TStringSpellText(QString text = {}, qsizetype caret = 0);

    [[nodiscard]] const QString& Text() const { return FText; }
    [[nodiscard]] qsizetype SelectionLength() const { return FSelectionLength; }

    [[nodiscard]] qsizetype Length() const override { return FText.size(); }
    [[nodiscard]] QString TextRange(qsizetype start, qsizetype count) const override;
    [[nodiscard]] qsizetype CaretPosition() const override { return FSelectionStart; }
    void Select(qsizetype start, qsizetype count) override;
    void ReplaceSelection(const QString& text) override;
    [[nodiscard]] QString LineText(qsizetype position) const override;

private:
    QString FText;
    qsizetype FSelectionStart = 0;
    qsizetype FSelectionLength = 0;
};
