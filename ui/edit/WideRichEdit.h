#pragma once

#include "ui/actions/EditInterfaces.h"

#include <QTextEdit>

// The program's Unicode text control. It answers the text editing and undo
// interfaces, so the shared edit actions work on it: copy needs a
// selection; cut and delete also need an editable control; paste needs an
// editable control and text on the clipboard; undo needs an editable
// control; redo only what the control can redo.
class TWideRichEdit : public QTextEdit, public ITextEditInterface, public IUndoInterface
{
    Q_OBJECT
public:
    explicit TWideRichEdit(QWidget* parent = nullptr);

    [[nodiscard]] bool CanCopy() const override;
    void Copy() override { copy(); }
    [[nodiscard]] bool CanCut() const override;
    void Cut() override { cut(); }
    [[nodiscard]] bool CanPaste() const override;
    void Paste() override { paste(); }
    [[nodiscard]] bool CanDelete() const override { return CanCut(); }
    void Delete() override;
    [[nodiscard]] bool CanSelectAll() const override;
    void SelectAll() override { selectAll(); }

    [[nodiscard]] bool CanUndo() const override;
    void Undo() override { undo(); }
    [[nodiscard]] bool CanRedo() const override;
    void Redo() override { redo(); }
};
