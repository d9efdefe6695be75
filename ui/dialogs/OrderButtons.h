#pragma once

#include "ui/dialogs/OrderListBox.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

class QPushButton;
class TOrderListAction;

// The buttons beside an ordered list box. A button of a kind (TOrderKind)
// shows a new list-box action of that kind fixed to the list box, with the
// caption, hint and shortcut of the program's shared action of the same
// class; its shortcut works while the list box has the focus. Plain buttons
// may join the group. The buttons are named "Button<position>".
//
// Layout, in the dialog units of the group's font: every button is as wide
// as the widest caption needs (TDialogUnits::ButtonWidth). Vertically each
// button gets a cell as high as max(button height + row spacing, client
// height / buttons), the group grows to hold the cells and takes the button
// width, and the buttons sit centred in their cells at the left edge.
// Horizontally the cells are max(button width, client width / buttons)
// wide, the group as high as a button + row spacing, the buttons centred
// in their cells at the top.
class TOrderButtons : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TOrderListBox* ListBox READ ListBox WRITE SetListBox)
    Q_PROPERTY(Qt::Orientation Orientation READ Orientation WRITE SetOrientation)
public:
    explicit TOrderButtons(QWidget* parent = nullptr);

    [[nodiscard]] TOrderListBox* ListBox() const { return FListBox; }
    // The list box the buttons act on; the actions made so far follow it.
    void SetListBox(TOrderListBox* listBox);
    [[nodiscard]] Qt::Orientation Orientation() const { return FOrientation; }
    void SetOrientation(Qt::Orientation orientation);

    // A button for the list-box action of that kind.
    QPushButton* AddKind(int kind);
    // Adds an existing button to the group.
    QPushButton* AddButton(QPushButton* button);
    [[nodiscard]] const QList<QPushButton*>& Buttons() const { return FButtons; }
    [[nodiscard]] TOrderListAction* ActionOf(const QPushButton* button) const;

    void LayoutButtons();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Bind(TOrderListAction* action) const;

    QPointer<TOrderListBox> FListBox;
    Qt::Orientation FOrientation = Qt::Horizontal;
    QList<QPushButton*> FButtons;
    std::vector<std::pair<QPushButton*, TOrderListAction*>> FActions;
    bool FLayingOut = false;
};
