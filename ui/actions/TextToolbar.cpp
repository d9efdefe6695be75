#include "ui/actions/TextToolbar.h"

#include <QAction>
#include <QEvent>
#include <QToolButton>

TTextToolbar::TTextToolbar(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    LayoutButtons();
}

QToolButton* TTextToolbar::AddAction(QAction* action)
{
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(QString(action->text()).remove(QLatin1Char('&')));
    FButtons << button;
    connect(action, &QAction::changed, this, &TTextToolbar::LayoutButtons);
    LayoutButtons();
    return button;
}

void TTextToolbar::LayoutButtons()
{
    const QFontMetrics metrics(font());
    const int z = metrics.horizontalAdvance(QLatin1Char('0'));
    const int h = metrics.height();
    setFixedHeight(h + 12);
    int left = z;
    for (QToolButton* button : FButtons) {
        const QAction* action = button->defaultAction();
        button->setVisible(action->isVisible());
        if (!action->isVisible())
            continue;
        const int width = metrics.horizontalAdvance(QString(action->text()).remove(QLatin1Char('&'))) + 2 * z;
        button->setGeometry(left, 3, width, h + 6);
        left += width + 2 * z;
    }
}

void TTextToolbar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    LayoutButtons();
}

void TTextToolbar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        LayoutButtons();
}
