#pragma once

#include <QWidget>

class QToolButton;

// A row of text buttons across the top of a window, each showing an action.
// Sized from the character "0" of its font (width z, height h): the panel
// is h + 12 high; the buttons are h + 6 high at top 3, each as wide as its
// caption + 2z, the first at z and the next 2z after the one before. The
// panel and its buttons never take the focus, so the actions act on the
// control the user was in. A hidden action hides its button.
class TTextToolbar : public QWidget
{
    Q_OBJECT
public:
    explicit TTextToolbar(QWidget* parent = nullptr);

    QToolButton* AddAction(QAction* action);
    // Places the buttons; runs when the panel is shown, its font changes or
    // an action changes its caption or visibility.
    void LayoutButtons();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QList<QToolButton*> FButtons;
};
