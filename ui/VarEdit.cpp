#include "ui/VarEdit.h"

#include <QKeyEvent>

TVarEdit::TVarEdit(QWidget* parent)
    : TWideEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TVarEdit::CopyToSynthron);
}

TVarEdit::~TVarEdit()
{
    if (FSynthron)
        FSynthron->FSynthron = nullptr;
}

void TVarEdit::BindProperty(QObject* object, const QString& name)
{
    FBinding.Bind(object, name);
    setText(FBinding.Text());
    selectAll();
    SetBoundHint(this, name);
}

void TVarEdit::BindVariable(QString* variable)
{
    FVariable = variable;
    if (variable)
        setText(*variable);
}

bool TVarEdit::ValidateValue() const
{
    return OnValidateText ? OnValidateText(text()) : true;
}

void TVarEdit::ApplyValue()
{
    if (FBinding.IsBound()) {
        if (isEnabled())
            FBinding.SetText(text());
    } else if (FVariable) {
        *FVariable = text();
    }
}

void TVarEdit::SetSynthron(TVarEdit* partner)
{
    if (partner == FSynthron || partner == this)
        return;
    if (FSynthron)
        FSynthron->FSynthron = nullptr;
    FSynthron = partner;
    if (partner) {
        if (partner->FSynthron)
            partner->FSynthron->FSynthron = nullptr;
        partner->FSynthron = this;
    }
}

void TVarEdit::CopyToSynthron(const QString& text)
{
    // The guard stops the partner's copy from coming back.
    if (!FSynthron || FCopying)
        return;
    FCopying = true;
    FSynthron->FCopying = true;
    FSynthron->setText(text);
    FSynthron->FCopying = false;
    FCopying = false;
}

bool TVarEdit::IsDelimiter(QChar c)
{
    const ushort code = c.unicode();
    if (code < 0x80)
        return code <= 0x2F || (code >= 0x3A && code <= 0x40) || (code >= 0x5B && code <= 0x60) || code >= 0x7B;
    return !c.isLetterOrNumber();
}

int TVarEdit::NextWordStart(const QString& text, int position)
{
    const int length = static_cast<int>(text.size());
    while (position < length && !IsDelimiter(text[position]))
        ++position;
    while (position < length && IsDelimiter(text[position]))
        ++position;
    return position;
}

int TVarEdit::PreviousWordStart(const QString& text, int position)
{
    while (position > 0 && IsDelimiter(text[position - 1]))
        --position;
    while (position > 0 && !IsDelimiter(text[position - 1]))
        --position;
    return position;
}

void TVarEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier) {
        TWideEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Left:
        if (text().size() > 2)
            setCursorPosition(event->key() == Qt::Key_Right ? NextWordStart(text(), cursorPosition())
                                                             : PreviousWordStart(text(), cursorPosition()));
        return;
    case Qt::Key_A:
        selectAll();
        return;
    case Qt::Key_C:
        copy();
        return;
    case Qt::Key_V:
        Paste();
        return;
    case Qt::Key_X:
        cut();
        return;
    case Qt::Key_Z:
        undo();
        return;
    default:
        TWideEdit::keyPressEvent(event);
    }
}

TAutoFinishEdit::TAutoFinishEdit(QWidget* parent)
    : TVarEdit(parent)
{
}

void TAutoFinishEdit::keyReleaseEvent(QKeyEvent* event)
{
    TVarEdit::keyReleaseEvent(event);
    if (isReadOnly())
        return;
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        deselect();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (hasSelectedText())
            setCursorPosition(selectionEnd());
        deselect();
        return;
    default:
        Complete();
    }
}

void TAutoFinishEdit::Complete()
{
    const QString current = text();
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    if (caret + static_cast<int>(selectedText().size()) != current.size())
        return;
    const QString before = current.left(caret);
    const qsizetype separator = std::max(before.lastIndexOf(QLatin1Char(';')), before.lastIndexOf(QLatin1Char(',')));
    // Blanks after the separator belong to the list, not to the entry typed.
    qsizetype start = separator + 1;
    while (start < before.size() && before[start].isSpace())
        ++start;
    const QString typed = before.mid(start);
    if (typed.isEmpty())
        return;
    for (const QString& entry : Completions)
        if (entry.startsWith(typed, Qt::CaseInsensitive)) {
            const QString rest = entry.mid(typed.size());
            setText(before + rest);
            setSelection(caret, static_cast<int>(rest.size()));
            return;
        }
}
