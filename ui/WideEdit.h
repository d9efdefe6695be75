#pragma once

#include "ui/actions/EditInterfaces.h"

#include <QLineEdit>

// A one-line Unicode edit. It holds neither tabs nor line breaks: text set
// into it is cut before its first NUL, line feed or carriage return, and a
// paste takes the clipboard's text only up to its first line break. It
// answers the text editing and undo interfaces as the multi-line text
// control does (ui/edit/WideRichEdit.h).
class TWideEdit : public QLineEdit, public ITextEditInterface, public IUndoInterface
{
    Q_OBJECT
public:
    explicit TWideEdit(QWidget* parent = nullptr);

    // The text up to its first NUL, line feed or carriage return.
    [[nodiscard]] static QString OneLine(const QString& text);
    // Pastes the clipboard's text up to its first line break.
    void Paste() override;

    [[nodiscard]] bool CanCopy() const override { return hasSelectedText(); }
    void Copy() override { copy(); }
    [[nodiscard]] bool CanCut() const override { return hasSelectedText() && !isReadOnly(); }
    void Cut() override { cut(); }
    [[nodiscard]] bool CanPaste() const override;
    [[nodiscard]] bool CanDelete() const override { return CanCut(); }
    void Delete() override;
    [[nodiscard]] bool CanSelectAll() const override { return !text().isEmpty(); }
    void SelectAll() override { selectAll(); }

    [[nodiscard]] bool CanUndo() const override { return isUndoAvailable() && !isReadOnly(); }
    void Undo() override { undo(); }
    [[nodiscard]] bool CanRedo() const override { return isRedoAvailable(); }
    void Redo() override { redo(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
