#include "ui/WideEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>

namespace {

// Cuts every text the edit takes (set, typed or pasted) before its first
// NUL, line feed or carriage return.
class TOneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const QString line = TWideEdit::OneLine(input);
        if (line.size() != input.size()) {
            input = line;
            pos = std::min(pos, static_cast<int>(line.size()));
        }
        return Acceptable;
    }
};

} // namespace

TWideEdit::TWideEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new TOneLineValidator(this));
}

QString TWideEdit::OneLine(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar::Null || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return text.left(i);
    }
    return text;
}

void TWideEdit::Paste()
{
    if (isReadOnly())
        return;
    insert(OneLine(QApplication::clipboard()->text()));
}

bool TWideEdit::CanPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return !isReadOnly() && data && data->hasText();
}

void TWideEdit::Delete()
{
    if (hasSelectedText() && !isReadOnly())
        del();
}

void TWideEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TWideEdit::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, &TWideEdit::Paste);
    }
    menu->exec(event->globalPos());
}
