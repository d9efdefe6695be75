#include "ui/MessageText.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Line breaks of any platform become the layout's own line separator.
QString WithLineSeparators(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// Lays the layout's text out in lines at most `width` wide, one below the
// other; returns the widest line and the total height.
QSizeF LayOut(QTextLayout& layout, qreal width)
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal widest = 0;
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return {widest, height};
}

} // namespace

TMessageText::TMessageText(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QSize TMessageText::Measure(const QString& text, const QFont& font, int maxWidth)
{
    QTextLayout layout(WithLineSeparators(text), font);
    const QSizeF size = LayOut(layout, maxWidth);
    return {static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height()))};
}

void TMessageText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    QTextLayout layout(WithLineSeparators(text()), font());
    LayOut(layout, width());
    layout.draw(&painter, QPointF(0, 0));
}
