#include "ui/edit/WideRichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

TWideRichEdit::TWideRichEdit(QWidget* parent)
    : QTextEdit(parent)
{
}

bool TWideRichEdit::CanCopy() const
{
    return textCursor().hasSelection();
}

bool TWideRichEdit::CanCut() const
{
    return CanCopy() && !isReadOnly();
}

bool TWideRichEdit::CanPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return !isReadOnly() && canPaste() && data && data->hasText();
}

void TWideRichEdit::Delete()
{
    if (isReadOnly())
        return;
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

bool TWideRichEdit::CanSelectAll() const
{
    return !document()->isEmpty();
}

bool TWideRichEdit::CanUndo() const
{
    return document()->isUndoAvailable() && !isReadOnly();
}

bool TWideRichEdit::CanRedo() const
{
    return document()->isRedoAvailable();
}
