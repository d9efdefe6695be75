// TIndexListView: where rows and cells lie, scrolling by rows, and the
// geometry the item view asks for.

#include "base/PrivateMessages.h"
#include "ui/list/IndexListModel.h"
#include "ui/list/IndexListView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

int TIndexListView::TopRow() const
{
    return verticalScrollBar()->value();
}

int TIndexListView::RowsPerPage() const
{
    return std::max(1, viewport()->height() / FRowHeight);
}

int TIndexListView::RowAt(int y) const
{
    if (y < 0)
        return -1;
    const int row = TopRow() + y / FRowHeight;
    return row < ItemCount() ? row : -1;
}

QRect TIndexListView::RowRect(int row) const
{
    return QRect(0, (row - TopRow()) * FRowHeight, std::max(viewport()->width(), FHeader->length()), FRowHeight);
}

void TIndexListView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
    FitColumns();
}

void TIndexListView::showEvent(QShowEvent* event)
{
    QAbstractItemView::showEvent(event);
    QCoreApplication::postEvent(this, new QEvent(EventType(pmListFitColumns)));
}

void TIndexListView::updateGeometries()
{
    const int headerHeight = FHeader->isHidden() ? 0 : FHeader->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    FHeader->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    const int perPage = RowsPerPage();
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(perPage);
    verticalScrollBar()->setRange(0, std::max(0, ItemCount() - perPage));

    horizontalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setRange(0, std::max(0, FHeader->length() - area.width()));
    FHeader->setOffset(horizontalScrollBar()->value());
    QAbstractItemView::updateGeometries();
}

bool TIndexListView::ScrollBarsSettled() const
{
    const auto settled = [this](const QScrollBar* bar, Qt::ScrollBarPolicy policy) {
        return policy != Qt::ScrollBarAsNeeded || (bar->maximum() > bar->minimum()) == bar->isVisibleTo(this);
    };
    return settled(verticalScrollBar(), verticalScrollBarPolicy())
           && settled(horizontalScrollBar(), horizontalScrollBarPolicy());
}

void TIndexListView::SettleScrollBars()
{
    // The toolkit shows or hides an as-needed scroll bar through a queued
    // look at its range: a repaint already on its way would show the rows
    // at the old size, and all of them would be painted again once the bar
    // came or went (and the columns were fitted to the new width). Setting a
    // policy lays the scroll bars out at once; the columns are fitted to
    // where the viewport ends, which may call for or free the horizontal
    // bar, so a second round may follow.
    for (int round = 0; round < 2 && isVisible() && !ScrollBarsSettled(); ++round) {
        {
            const QScopedValueRollback suspended(FFittingSuspended, true);
            setVerticalScrollBarPolicy(verticalScrollBarPolicy());
        }
        FitColumns();
        updateGeometries();
    }
}

void TIndexListView::scrollContentsBy(int dx, int dy)
{
    if (dx != 0)
        FHeader->setOffset(horizontalScrollBar()->value());
    viewport()->scroll(dx, dy * FRowHeight);
}

QRect TIndexListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= ItemCount())
        return {};
    const int column = index.column();
    return QRect(FHeader->sectionViewportPosition(column), (index.row() - TopRow()) * FRowHeight,
                 FHeader->sectionSize(column), FRowHeight);
}

void TIndexListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const int top = TopRow();
    const int perPage = RowsPerPage();
    int newTop = top;
    switch (hint) {
    case PositionAtTop:
        newTop = row;
        break;
    case PositionAtBottom:
        newTop = row - perPage + 1;
        break;
    case PositionAtCenter:
        newTop = row - perPage / 2;
        break;
    case EnsureVisible:
        if (row < top)
            newTop = row;
        else if (row >= top + perPage)
            newTop = row - perPage + 1;
        break;
    }
    verticalScrollBar()->setValue(newTop);
}

QModelIndex TIndexListView::indexAt(const QPoint& point) const
{
    const int row = RowAt(point.y());
    if (row < 0)
        return {};
    // Full-row selection: a point right of the last column is still on the row.
    const int column = FHeader->logicalIndexAt(point.x());
    return FModel->index(row, column < 0 ? 0 : column);
}

QModelIndex TIndexListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = ItemCount();
    if (count == 0)
        return {};
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    int target = row;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        target = row - 1;
        break;
    case MoveDown:
    case MoveNext:
        target = row + 1;
        break;
    case MovePageUp:
        target = row - RowsPerPage();
        break;
    case MovePageDown:
        target = row + RowsPerPage();
        break;
    case MoveHome:
        target = 0;
        break;
    case MoveEnd:
        target = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        horizontalScrollBar()->triggerAction(cursorAction == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                                      : QAbstractSlider::SliderSingleStepAdd);
        return currentIndex();
    }
    return FModel->index(std::clamp(target, 0, count - 1), 0);
}

int TIndexListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int TIndexListView::verticalOffset() const
{
    return TopRow() * FRowHeight;
}

bool TIndexListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void TIndexListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    const int count = ItemCount();
    if (count == 0 || FColumns.empty())
        return;
    const QRect area = rect.normalized();
    const int top = std::clamp(TopRow() + area.top() / FRowHeight, 0, count - 1);
    const int bottom = std::clamp(TopRow() + area.bottom() / FRowHeight, 0, count - 1);
    const QItemSelection selection(FModel->index(top, 0),
                                   FModel->index(bottom, static_cast<int>(FColumns.size()) - 1));
    selectionModel()->select(selection, command | QItemSelectionModel::Rows);
}

QRegion TIndexListView::visualRegionForSelection(const QItemSelection& selection) const
{
    const int top = TopRow();
    const int last = top + RowsPerPage() + 1;
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int first = std::max(range.top(), top);
        const int end = std::min(range.bottom(), last);
        if (first <= end)
            region += QRect(0, (first - top) * FRowHeight, viewport()->width(), (end - first + 1) * FRowHeight);
    }
    return region;
}
