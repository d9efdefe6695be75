#pragma once

#include <QLineEdit>

// A one-line Unicode edit. It holds neither tabs nor line breaks: text set
// into it is cut before its first NUL, line feed or carriage return, and a
// paste takes the clipboard's text only up to its first line break.
class TWideEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TWideEdit(QWidget* parent = nullptr);

    // The text up to its first NUL, line feed or carriage return.
    [[nodiscard]] static QString OneLine(const QString& text);
    // Pastes the clipboard's text up to its first line break.
    void Paste();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
