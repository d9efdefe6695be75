#include "ui/list/IndexListView.h"

#include "base/PrivateMessages.h"
#include "ui/list/IndexListModel.h"

#include <QHeaderView>

#include <algorithm>

TIndexListView::TIndexListView(QWidget* parent)
    : QAbstractItemView(parent)
    , FModel(new TIndexListModel(this))
    , FHeader(new QHeaderView(Qt::Horizontal, this))
{
    setModel(FModel);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setIconSize(QSize(16, 16));
    ConnectHeader();
    UpdateRowHeight();
}

TIndexListView::~TIndexListView() = default;

// ------------------------------------------------------------------ rows

int TIndexListView::ItemCount() const
{
    return FModel->rowCount();
}

void TIndexListView::SetItemCount(int count)
{
    if (count < 0)
        return;
    const int old = ItemCount();
    if (count == old)
        return;
    FRemovingRows = count < old;
    FModel->SetRowCount(count);
    FRemovingRows = false;
    updateGeometries();
    SettleScrollBars();
    // Only rows that appear or vanish on screen need painting.
    const int top = TopRow();
    const int bottom = top + RowsPerPage() + 1;
    const int first = std::max(std::min(old, count), top);
    const int last = std::min(std::max(old, count), bottom);
    if (first <= last)
        viewport()->update(QRect(0, (first - top) * FRowHeight, viewport()->width(), (last - first + 1) * FRowHeight));
}

void TIndexListView::DeleteRow(int row)
{
    if (row < 0 || row >= ItemCount())
        return;
    RemoveRows(row, row);
    Q_EMIT RowDeleted(row);
}

void TIndexListView::RemoveRows(int first, int last)
{
    FRemovingRows = true;
    FModel->RemoveRows(first, std::min(last, ItemCount() - 1));
    FRemovingRows = false;
    updateGeometries();
    SettleScrollBars();
    viewport()->update();
}

std::vector<std::pair<int, int>> TIndexListView::SelectedRanges() const
{
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

int TIndexListView::SelectedCount() const
{
    int count = 0;
    for (const auto& [first, last] : SelectedRanges())
        count += last - first + 1;
    return count;
}

int TIndexListView::ItemIndex() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid())
        return current.row();
    const auto ranges = SelectedRanges();
    return ranges.empty() ? -1 : ranges.front().first;
}

void TIndexListView::SetItemIndex(int row)
{
    selectionModel()->clearSelection();
    if (row < 0 || row >= ItemCount()) {
        if (row < 0)
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex index = FModel->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

bool TIndexListView::IsSelected(int row) const
{
    return row >= 0 && row < ItemCount() && selectionModel()->isSelected(FModel->index(row, 0));
}

void TIndexListView::SelectAll()
{
    selectAll();
}

void TIndexListView::ClearSelection()
{
    selectionModel()->clearSelection();
}

void TIndexListView::MakeVisible(int row)
{
    if (row >= 0 && row < ItemCount())
        scrollTo(FModel->index(row, 0));
}

void TIndexListView::RedrawRow(int row)
{
    const QRect rect = RowRect(row);
    if (rect.intersects(viewport()->rect()))
        viewport()->update(rect);
}

void TIndexListView::RedrawVisibleRows()
{
    viewport()->update();
}

// ------------------------------------------------------- update batching

void TIndexListView::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        LockPainting();
}

void TIndexListView::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        UnlockPainting();
}

void TIndexListView::LockPainting()
{
    for (TListColumn& column : FColumns)
        column.SavedWidth = column.Width;
    viewport()->setUpdatesEnabled(false);
    FHeader->setUpdatesEnabled(false);
}

void TIndexListView::UnlockPainting()
{
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        SetColumnWidth(static_cast<int>(i), FColumns[i].SavedWidth);
    FitColumns();
    FHeader->setUpdatesEnabled(true);
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
}

// -------------------------------------------------------------- options

void TIndexListView::SetMultiSelect(bool on)
{
    setSelectionMode(on ? ExtendedSelection : SingleSelection);
}

bool TIndexListView::MultiSelect() const
{
    return selectionMode() == ExtendedSelection;
}

void TIndexListView::SetCheckBoxes(bool on)
{
    FCheckBoxes = on;
    viewport()->update();
}

void TIndexListView::SetGridLines(bool on)
{
    FGridLines = on;
    viewport()->update();
}

void TIndexListView::SetOwnerDraw(bool on)
{
    FOwnerDraw = on;
    viewport()->update();
}

void TIndexListView::SetHeaderDragDrop(bool on)
{
    FHeader->setSectionsMovable(on);
}

void TIndexListView::SetSmallImages(QList<QIcon> images)
{
    FSmallImages = std::move(images);
    UpdateRowHeight();
    FModel->HeaderChanged();
    viewport()->update();
}

QIcon TIndexListView::SmallImage(int index) const
{
    return index >= 0 && index < FSmallImages.size() ? FSmallImages[index] : QIcon();
}

void TIndexListView::SetStateImages(QList<QIcon> images)
{
    FStateImages = std::move(images);
    viewport()->update();
}

// ---------------------------------------------------- default operations

int TIndexListView::FindRow(const QString& text, bool wrap, int startRow)
{
    const int count = ItemCount();
    if (text.isEmpty() || count == 0)
        return -1;
    int row = std::clamp(startRow, 0, count - 1);
    for (int seen = 0; seen < count; ++seen) {
        if (CellText(row, 0).startsWith(text, Qt::CaseInsensitive))
            return row;
        if (++row >= count) {
            if (!wrap)
                break;
            row = 0;
        }
    }
    return -1;
}

TCellData TIndexListView::FetchDisplayData(int row, int column)
{
    TCellData data;
    data.Text = CellText(row, column);
    data.Image = CellImage(row, column);
    data.HasCheck = FCheckBoxes && column == 0;
    return data;
}

QString TIndexListView::CellText(int, int)
{
    return {};
}

int TIndexListView::CellImage(int, int)
{
    return -1;
}

bool TIndexListView::CustomDrawControl(QPainter*, TDrawStage)
{
    return true;
}

bool TIndexListView::CacheHint(int, int)
{
    return false;
}

bool TIndexListView::StateChange(int first, int last, bool selected)
{
    Q_EMIT RowRangeSelectionChanged(first, last, selected);
    return false;
}

bool TIndexListView::CustomDrawCell(int, int, QStyleOptionViewItem&, QPainter*)
{
    return true;
}

QString TIndexListView::RowHintText(int row)
{
    return CellText(row, 0);
}

void TIndexListView::SelectionChanged(int row, bool selected)
{
    Q_EMIT RowSelectionChanged(row, selected);
}

void TIndexListView::FocusChanged(int row)
{
    Q_EMIT FocusedRowChanged(row);
}

void TIndexListView::CreateColumns()
{
}

void TIndexListView::OpenRow(int)
{
}

void TIndexListView::GoUp()
{
}

void TIndexListView::ToggleCheck(int)
{
}

void TIndexListView::customEvent(QEvent* event)
{
    if (event->type() == EventType(pmListFitColumns))
        FitColumns();
    else
        QAbstractItemView::customEvent(event);
}
