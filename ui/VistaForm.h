#pragma once

#include <QDialog>

// The base of the program's own forms and dialogs. The drawing lock that
// this base applies around key presses elsewhere is not needed with Qt's
// double-buffered painting, so here it only gives every form the font of
// the main form, or the platform's message font before one exists.
class TVistaForm : public QDialog
{
    Q_OBJECT
public:
    explicit TVistaForm(QWidget* parent = nullptr);
};

// The program's main form, whose font the forms take; none before it exists.
void SetMainForm(QWidget* form);
[[nodiscard]] QWidget* MainForm();
// The main form's font, else the platform's message font.
[[nodiscard]] QFont FormFont();
