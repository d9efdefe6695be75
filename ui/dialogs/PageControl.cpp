#include "ui/dialogs/PageControl.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent)
{
}

QRect TPageControl::PageRect() const
{
    // The same question the tab widget asks its style when it lays itself
    // out, which it does only once it is visible.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
}
