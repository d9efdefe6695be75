#include "ui/spell/EditSpellText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

TEditSpellText::TEditSpellText(QTextEdit& edit)
    : FEdit(edit)
{
}

QString TEditSpellText::PlainBreaks(QString text)
{
    // Paragraph and line separators, and the marks that open and close a
    // frame (a table cell), are what a cursor's selected text holds where
    // the document breaks a line.
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0:
        case 0xFDD1:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}

qsizetype TEditSpellText::Length() const
{
    // The document counts the paragraph separator after its last block.
    return FEdit.document()->characterCount() - 1;
}

qsizetype TEditSpellText::Clamp(qsizetype position) const
{
    return std::clamp<qsizetype>(position, 0, Length());
}

QString TEditSpellText::TextRange(qsizetype start, qsizetype count) const
{
    start = Clamp(start);
    QTextCursor cursor(FEdit.document());
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(Clamp(start + std::max<qsizetype>(count, 0))), QTextCursor::KeepAnchor);
    return PlainBreaks(cursor.selectedText());
}

qsizetype TEditSpellText::CaretPosition() const
{
    return FEdit.textCursor().selectionStart();
}

void TEditSpellText::Select(qsizetype start, qsizetype count)
{
    start = Clamp(start);
    QTextCursor cursor = FEdit.textCursor();
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(Clamp(start + std::max<qsizetype>(count, 0))), QTextCursor::KeepAnchor);
    FEdit.setTextCursor(cursor);
    FEdit.ensureCursorVisible();
}

void TEditSpellText::ReplaceSelection(const QString& text)
{
    QTextCursor cursor = FEdit.textCursor();
    cursor.insertText(text);
    FEdit.setTextCursor(cursor);
}

QString TEditSpellText::LineText(qsizetype position) const
{
    return PlainBreaks(FEdit.document()->findBlock(static_cast<int>(Clamp(position))).text());
}
