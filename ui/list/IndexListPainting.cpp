// TIndexListView: painting the visible rows, cell by cell or owner-drawn.

#include "ui/list/IndexListModel.h"
#include "ui/list/IndexListView.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>

#include <algorithm>

void TIndexListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        UpdateRowHeight();
    QAbstractItemView::changeEvent(event);
}

void TIndexListView::UpdateRowHeight()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("Xg");
    option.decorationSize = iconSize();
    const QSize size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    FRowHeight = std::max({size.height(), fontMetrics().height() + 4, iconSize().height() + 2});
    updateGeometries();
}

void TIndexListView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    FPainting = true;
    if (CustomDrawControl(&painter, TDrawStage::PrePaint)) {
        QStyleOptionViewItem base;
        initViewItemOption(&base);
        const int top = TopRow();
        const int last = std::min(ItemCount() - 1, top + viewport()->height() / FRowHeight);
        if (top <= last)
            CacheHint(top, last);
        for (int row = top; row <= last; ++row)
            PaintRow(painter, row, base);
        CustomDrawControl(&painter, TDrawStage::PostPaint);
    }
    FPainting = false;
}

void TIndexListView::PaintRow(QPainter& painter, int row, const QStyleOptionViewItem& base)
{
    const QRect rect = RowRect(row);
    const bool selected = IsSelected(row);
    if (FOwnerDraw) {
        DrawRow(row, rect, selected, &painter);
        return;
    }
    const int columns = FHeader->count();
    int visibleLast = -1;
    for (int visual = columns - 1; visual >= 0 && visibleLast < 0; --visual)
        if (!FHeader->isSectionHidden(FHeader->logicalIndex(visual)))
            visibleLast = visual;
    QStyleOptionViewItem option = base;
    if (selected)
        option.state |= QStyle::State_Selected;
    for (int visual = 0; visual < columns; ++visual) {
        const int column = FHeader->logicalIndex(visual);
        if (FHeader->isSectionHidden(column))
            continue;
        const int x = FHeader->sectionViewportPosition(column);
        const int width = FHeader->sectionSize(column);
        if (x + width < 0 || x > viewport()->width())
            continue;
        option.rect = QRect(x, rect.top(), width, FRowHeight);
        option.viewItemPosition = columns == 1             ? QStyleOptionViewItem::OnlyOne
                                  : visual == 0           ? QStyleOptionViewItem::Beginning
                                  : visual == visibleLast ? QStyleOptionViewItem::End
                                                          : QStyleOptionViewItem::Middle;
        PaintCell(painter, row, column, option);
    }
    if (FGridLines)
        PaintGridLines(painter, rect);
    if (row == currentIndex().row() && hasFocus())
        PaintFocus(painter, rect, selected);
}

void TIndexListView::PaintGridLines(QPainter& painter, const QRect& rect)
{
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    for (int visual = 0; visual < FHeader->count(); ++visual) {
        const int column = FHeader->logicalIndex(visual);
        const int x = FHeader->sectionViewportPosition(column) + FHeader->sectionSize(column) - 1;
        painter.drawLine(x, rect.top(), x, rect.bottom());
    }
}

// The whole row shows the focus.
void TIndexListView::PaintFocus(QPainter& painter, const QRect& rect, bool selected)
{
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect.intersected(viewport()->rect());
    focus.state |= QStyle::State_KeyboardFocusChange;
    focus.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void TIndexListView::PaintCell(QPainter& painter, int row, int column, QStyleOptionViewItem option)
{
    const TCellData data = FetchDisplayData(row, column);
    option.index = FModel->index(row, column);
    option.text = data.Text;
    option.features = QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = FColumns[column].Alignment | Qt::AlignVCenter;
    option.textElideMode = Qt::ElideRight;
    const int imageWidth = iconSize().width() + 4;
    if (column == 0) {
        option.rect.adjust(data.Indent * imageWidth, 0, 0, 0);
        if (data.StateImage >= 0 && data.StateImage < FStateImages.size()) {
            const QRect stateRect(option.rect.left() + 2, option.rect.top() + (FRowHeight - iconSize().height()) / 2,
                                  iconSize().width(), iconSize().height());
            FStateImages[data.StateImage].paint(&painter, stateRect);
            option.rect.adjust(imageWidth, 0, 0, 0);
        }
    }
    if (data.HasCheck) {
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        option.checkState = data.Checked ? Qt::Checked : Qt::Unchecked;
    }
    if (data.Image >= 0 && data.Image < FSmallImages.size()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.icon = FSmallImages[data.Image];
        option.decorationSize = iconSize();
    }
    if (CustomDrawCell(row, column, option, &painter))
        DrawCell(painter, option);
}

// Cells of one line of text, with or without an image, are drawn here: the
// style's own item drawing lays every text out for line breaks first, which
// made it most of the time a page takes to paint. Check boxes are the
// style's.
void TIndexListView::DrawCell(QPainter& painter, const QStyleOptionViewItem& option)
{
    QStyle* style = this->style();
    if (option.features & QStyleOptionViewItem::HasCheckIndicator) {
        style->drawControl(QStyle::CE_ItemViewItem, &option, &painter, this);
        return;
    }
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, &painter, this);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    if (option.features & QStyleOptionViewItem::HasDecoration)
        textRect = DrawCellImage(painter, option, textRect, margin);
    if (!option.text.isEmpty() && textRect.width() > 0)
        DrawCellText(painter, option, textRect);
}

// Draws the image at the start of `rect`; gives what is left for the text.
QRect TIndexListView::DrawCellImage(QPainter& painter, const QStyleOptionViewItem& option, QRect rect, int margin)
{
    const QRect image =
        QStyle::alignedRect(option.direction, Qt::AlignLeft | Qt::AlignVCenter, option.decorationSize, rect);
    const QIcon::Mode mode = !(option.state & QStyle::State_Enabled)  ? QIcon::Disabled
                             : (option.state & QStyle::State_Selected) ? QIcon::Selected
                                                                       : QIcon::Normal;
    option.icon.paint(&painter, image, Qt::AlignCenter, mode);
    if (option.direction == Qt::RightToLeft)
        rect.setRight(image.left() - 1 - 2 * margin);
    else
        rect.setLeft(image.right() + 1 + 2 * margin);
    return rect;
}

// One line, cut short with an ellipsis where it does not fit, drawn at its
// base line: a rectangle would have the text laid out again for alignment
// and breaks.
void TIndexListView::DrawCellText(QPainter& painter, const QStyleOptionViewItem& option, const QRect& rect)
{
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                                                : QPalette::Inactive;
    const bool selected = option.state & QStyle::State_Selected;
    painter.setFont(option.font);
    painter.setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics& metrics = option.fontMetrics;
    const QString text = metrics.elidedText(option.text, option.textElideMode, rect.width());
    const Qt::Alignment horizontal = QStyle::visualAlignment(option.direction, option.displayAlignment);
    int x = rect.left();
    if (horizontal & (Qt::AlignRight | Qt::AlignHCenter)) {
        const int free = rect.width() - metrics.horizontalAdvance(text);
        x += horizontal & Qt::AlignRight ? free : free / 2;
    }
    const int y = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    painter.drawText(QPoint(x, y), text);
}

void TIndexListView::DrawRow(int row, const QRect& rect, bool selected, QPainter* painter)
{
    const QPalette& colors = palette();
    painter->fillRect(rect, selected ? colors.highlight() : colors.base());
    painter->setPen(selected ? colors.highlightedText().color() : colors.text().color());
    painter->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, CellText(row, 0));
}
