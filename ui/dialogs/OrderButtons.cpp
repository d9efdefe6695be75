#include "ui/dialogs/OrderButtons.h"

#include "ui/actions/ActionSets.h"
#include "ui/actions/ListActions.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/OrderListBox.h"

#include <QPushButton>

namespace {

// Keeps a button in step with the action it shows.
void Mirror(QPushButton* button, const QAction* action)
{
    button->setText(action->text());
    button->setToolTip(action->toolTip());
    button->setEnabled(action->isEnabled());
    button->setVisible(action->isVisible());
}

} // namespace

TOrderButtons::TOrderButtons(QWidget* parent)
    : QWidget(parent)
{
}

void TOrderButtons::SetListBox(TOrderListBox* listBox)
{
    for (const auto& entry : FActions) {
        if (FListBox)
            FListBox->removeAction(entry.second);
    }
    FListBox = listBox;
    for (const auto& entry : FActions)
        Bind(entry.second);
}

void TOrderButtons::Bind(TOrderListAction* action) const
{
    action->SetFixedControl(FListBox);
    // The shortcut works while the list box has the focus, not in the
    // other controls of the dialog.
    if (FListBox)
        FListBox->addAction(action);
    action->setShortcutContext(Qt::WidgetShortcut);
}

void TOrderButtons::SetOrientation(Qt::Orientation orientation)
{
    FOrientation = orientation;
    LayoutButtons();
}

QPushButton* TOrderButtons::AddKind(int kind)
{
    TOrderListAction* action = CreateListBoxAction(kind, this);
    if (!action)
        return nullptr;
    if (const QAction* shared = SharedActionLike(*action)) {
        action->setText(shared->text());
        action->setToolTip(shared->toolTip());
        action->setShortcuts(shared->shortcuts());
    }
    Bind(action);
    auto* button = new QPushButton(action->text(), this);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button, [button, action] { Mirror(button, action); });
    Mirror(button, action);
    FActions.emplace_back(button, action);
    return AddButton(button);
}

QPushButton* TOrderButtons::AddButton(QPushButton* button)
{
    button->setParent(this);
    button->setAutoDefault(false);
    button->setObjectName(QStringLiteral("Button%1").arg(FButtons.size()));
    FButtons << button;
    LayoutButtons();
    return button;
}

TOrderListAction* TOrderButtons::ActionOf(const QPushButton* button) const
{
    for (const auto& [shown, action] : FActions)
        if (shown == button)
            return action;
    return nullptr;
}

void TOrderButtons::LayoutButtons()
{
    if (FButtons.isEmpty() || FLayingOut)
        return;
    FLayingOut = true;
    const TDialogUnits units(font());
    int buttonWidth = 0;
    for (const QPushButton* button : FButtons)
        buttonWidth = std::max(buttonWidth, units.ButtonWidth(button->text()));
    const int buttonHeight = units.RowHeight;
    const int spacing = units.CharHeight;
    const int count = static_cast<int>(FButtons.size());
    if (FOrientation == Qt::Vertical) {
        const int cell = std::max(buttonHeight + spacing, height() / count);
        resize(buttonWidth, std::max(height(), cell * count));
        for (int i = 0; i < count; ++i)
            FButtons[i]->setGeometry(0, i * cell + (cell - buttonHeight) / 2, buttonWidth, buttonHeight);
    } else {
        const int cell = std::max(buttonWidth, width() / count);
        resize(std::max(width(), cell * count), buttonHeight + spacing);
        for (int i = 0; i < count; ++i)
            FButtons[i]->setGeometry(i * cell + (cell - buttonWidth) / 2, 0, buttonWidth, buttonHeight);
    }
    FLayingOut = false;
}

void TOrderButtons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutButtons();
}
