#pragma once

#include "content/spell/SpellText.h"

class QTextEdit;

// The text of a rich edit as the spell checker walks and edits it.
// Positions are the document's: every paragraph, line or table-cell break
// counts one character and reads as a line feed. Replacements go through
// the edit's cursor, so each is one step the user can undo.
class TEditSpellText : public TSpellText
{
public:
    explicit TEditSpellText(QTextEdit& edit);

    [[nodiscard]] qsizetype Length() const override;
    [[nodiscard]] QString TextRange(qsizetype start, qsizetype count) const override;
    [[nodiscard]] qsizetype CaretPosition() const override;
    void Select(qsizetype start, qsizetype count) override;
    void ReplaceSelection(const QString& text) override;
    [[nodiscard]] QString LineText(qsizetype position) const override;

    // The text with the document's break characters as line feeds.
    [[nodiscard]] static QString PlainBreaks(QString text);

private:
    [[nodiscard]] qsizetype Clamp(qsizetype position) const;

    QTextEdit& FEdit;
};
