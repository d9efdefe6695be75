#include "ui/edit/FindRichEdit.h"

#include "settings/GlobStrings.h"
#include "settings/IniPropInfo.h"
#include "settings/Options.h"
#include "ui/MessageBoxes.h"
#include "ui/VarEdit.h"
#include "ui/dialogs/FindDialog.h"

#include <QTextBlock>

namespace {

bool Flag(const QObject* options, const char* name, bool fallback)
{
    return options ? OrdPropertyByName(options, QString::fromLatin1(name)) != 0 : fallback;
}

} // namespace

TFindRichEdit::TFindRichEdit(QWidget* parent)
    : TWideRichEdit(parent)
{
}

QObject* TFindRichEdit::SearchOptions() const
{
    return FOptions ? FOptions.data() : Options();
}

bool TFindRichEdit::CanFind() const
{
    return hasFocus() && CanSelectAll();
}

void TFindRichEdit::Find()
{
    QString text = TextAroundCaret();
    if (RunFindDialog(text, SearchOptions()) && !text.isEmpty())
        Search(text);
}

void TFindRichEdit::SearchAgain()
{
    if (FLastText.isEmpty())
        Find();
    else
        Search(FLastText);
}

bool TFindRichEdit::Search(const QString& text)
{
    FLastText = text;
    const QObject* options = SearchOptions();
    QTextDocument::FindFlags flags;
    if (!Flag(options, "FindDown", true))
        flags |= QTextDocument::FindBackward;
    if (Flag(options, "WholeWord", false))
        flags |= QTextDocument::FindWholeWords;
    if (Flag(options, "MatchCase", false))
        flags |= QTextDocument::FindCaseSensitively;
    // A forward search starts after the selection and a backward one before
    // it, so that searching again moves on to the next match either way.
    const QTextCursor found = document()->find(text, textCursor(), flags);
    if (found.isNull()) {
        InfoBox(TGlobStrings::FormatText(Lang().TextIn(9, QStringLiteral("EditDlg")), {text}));
        return false;
    }
    setTextCursor(found);
    ensureCursorVisible();
    return true;
}

QString TFindRichEdit::TextAroundCaret() const
{
    const QTextCursor cursor = textCursor();
    const QString selected = cursor.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        return selected;
    // Delimiters include the line breaks, so the word lies within one block.
    const QString line = cursor.block().text();
    const int caret = cursor.positionInBlock();
    int start = caret;
    while (start > 0 && !TVarEdit::IsDelimiter(line[start - 1]))
        --start;
    int end = caret;
    while (end < line.size() && !TVarEdit::IsDelimiter(line[end]))
        ++end;
    return line.mid(start, end - start);
}
