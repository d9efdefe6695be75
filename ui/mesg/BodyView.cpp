#include "ui/mesg/BodyView.h"

#include "content/view/BodyLines.h"

#include <QTextCursor>
#include <QTextEdit>

namespace {

void InsertMarkedLines(QTextEdit& edit, const TShownBody& body)
{
    QTextCharFormat upright;
    QTextCharFormat italic;
    italic.setFontItalic(true);
    QTextCursor cursor(edit.document());
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < body.Lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        const bool marked = body.Italic.value(i) && !body.Lines[i].isEmpty();
        cursor.insertText(body.Lines[i], marked ? italic : upright);
    }
    cursor.endEditBlock();
}

} // namespace

void ShowBodyLines(QTextEdit& edit, const TShownBody& body)
{
    edit.clear();
    edit.setCurrentCharFormat({});
    if (body.Italic.isEmpty())
        edit.setPlainText(body.Text());
    else
        InsertMarkedLines(edit, body);
    edit.document()->clearUndoRedoStacks();
    edit.document()->setModified(false);
    edit.moveCursor(QTextCursor::Start);
    edit.setCurrentCharFormat({});
    edit.ensureCursorVisible();
}
