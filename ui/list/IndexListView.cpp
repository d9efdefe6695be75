#include "ui/list/IndexListView.h"

#include "base/PrivateMessages.h"
#include "ui/Beep.h"
#include "ui/list/IndexListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

// The hint appears below and right of the row's corner by about a cursor's size.
constexpr int kCursorSize = 16;

} // namespace

TIndexListView::TIndexListView(QWidget* parent)
    : QAbstractItemView(parent)
    , FModel(new TIndexListModel(this))
    , FHeader(new QHeaderView(Qt::Horizontal, this))
{
    setModel(FModel);
    FHeader->setModel(FModel);
    FHeader->setSelectionModel(selectionModel());
    FHeader->setSectionsClickable(true);
    FHeader->setHighlightSections(false);
    FHeader->setStretchLastSection(false);
    FHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setIconSize(QSize(16, 16));

    connect(FHeader, &QHeaderView::sectionResized, this, &TIndexListView::HeaderSectionResized);
    connect(FHeader, &QHeaderView::sectionHandleDoubleClicked, this, &TIndexListView::HeaderHandleDoubleClicked);
    connect(FHeader, &QHeaderView::sectionMoved, this, &TIndexListView::HeaderSectionMoved);
    connect(FHeader, &QHeaderView::sectionClicked, this, [this](int column) {
        if (OnColumnClick)
            OnColumnClick(column);
    });
    connect(FHeader, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& pos) {
        const int column = FHeader->logicalIndexAt(pos);
        if (column >= 0 && OnColumnRightClick)
            OnColumnRightClick(column, FHeader->mapToGlobal(pos));
    });
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
    if (OnRowDeleted)
        OnRowDeleted(row);
}

void TIndexListView::RemoveRows(int first, int last)
{
    FRemovingRows = true;
    FModel->RemoveRows(first, std::min(last, ItemCount() - 1));
    FRemovingRows = false;
    updateGeometries();
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

// --------------------------------------------------------------- columns

int TIndexListView::AddColumn(const QString& caption, Qt::Alignment alignment)
{
    const int index = static_cast<int>(FColumns.size());
    FModel->BeginInsertColumn(index);
    TListColumn column;
    column.Caption = caption;
    column.Alignment = alignment;
    column.Position = index;
    FColumns.push_back(column);
    FModel->EndInsertColumn();
    FSettingWidths = true;
    FHeader->resizeSection(index, column.Width);
    FSettingWidths = false;
    return index;
}

void TIndexListView::ClearColumns()
{
    if (FColumns.empty())
        return;
    FModel->BeginRemoveAllColumns();
    FColumns.clear();
    FModel->EndRemoveColumns();
}

void TIndexListView::RebuildColumns()
{
    ClearColumns();
    CreateColumns();
    FitColumns();
}

void TIndexListView::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= static_cast<int>(FColumns.size()))
        return;
    FColumns[column].Width = ClampColumnWidth(FColumns[column], width);
    FSettingWidths = true;
    FHeader->resizeSection(column, FColumns[column].Width);
    FSettingWidths = false;
}

void TIndexListView::HeaderSectionResized(int logical, int, int newSize)
{
    if (FSettingWidths || logical < 0 || logical >= static_cast<int>(FColumns.size()))
        return;
    // The user drags a divider: the width shown stays within the column's bounds.
    const int width = ClampColumnWidth(FColumns[logical], newSize);
    FColumns[logical].Width = width;
    if (width != newSize) {
        FSettingWidths = true;
        FHeader->resizeSection(logical, width);
        FSettingWidths = false;
    }
}

void TIndexListView::HeaderHandleDoubleClicked(int logical)
{
    if (logical < 0 || logical >= static_cast<int>(FColumns.size()))
        return;
    // The platform's own choice is stored as it is.
    const int width = sizeHintForColumn(logical);
    FColumns[logical].Width = width;
    FSettingWidths = true;
    FHeader->resizeSection(logical, width);
    FSettingWidths = false;
}

void TIndexListView::HeaderSectionMoved()
{
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        FColumns[i].Position = FHeader->visualIndex(static_cast<int>(i));
    if (OnColumnOrderChanged)
        OnColumnOrderChanged();
}

// ------------------------------------------------------ automatic widths

void TIndexListView::FitColumns()
{
    if (FFittingSuspended || FColumns.empty() || !isVisible())
        return;
    const int clientWidth = viewport()->width();
    if (clientWidth <= 0)
        return;
    MeasureColumns();
    if (FColumns.size() == 1) {
        FColumns[0].NeededWidth = clientWidth;
        FColumns[0].PlannedWidth = clientWidth;
    }
    DistributeColumnWidths(FColumns, clientWidth, FAutoSizeColumn);
    const QFontMetrics metrics = FHeader->fontMetrics();
    ApplyColumnWidths(FColumns, clientWidth, FAutoSizeColumn,
                      [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    ApplyHeaderWidths();
    RedrawRow(ItemIndex());
}

void TIndexListView::MeasureColumns()
{
    if (FColumns.size() < 2)
        return;
    for (TListColumn& column : FColumns)
        column.NeededWidth = 16;
    const int top = TopRow();
    const int last = std::min(top + RowsPerPage(), ItemCount() - 1);
    for (int row = top; row <= last; ++row)
        for (std::size_t c = 0; c < FColumns.size(); ++c) {
            const int column = static_cast<int>(c);
            const int width = CellContentWidth(FetchDisplayData(row, column), column) + 16;
            FColumns[c].NeededWidth = std::max(FColumns[c].NeededWidth, width);
        }
}

int TIndexListView::CellContentWidth(const TCellData& data, int column) const
{
    int width = fontMetrics().horizontalAdvance(data.Text);
    const int icon = iconSize().width() + 4;
    if (data.Image >= 0)
        width += icon;
    if (column == 0)
        width += data.Indent * icon + (data.StateImage >= 0 || data.HasCheck ? icon : 0);
    return width;
}

void TIndexListView::ApplyHeaderWidths()
{
    FSettingWidths = true;
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        FHeader->resizeSection(static_cast<int>(i), FColumns[i].Width);
    FSettingWidths = false;
}

int TIndexListView::sizeHintForColumn(int column) const
{
    if (column < 0 || column >= static_cast<int>(FColumns.size()))
        return 0;
    auto* self = const_cast<TIndexListView*>(this);
    int width = FHeader->fontMetrics().horizontalAdvance(FColumns[column].Caption) + 16;
    const int top = TopRow();
    const int last = std::min(top + RowsPerPage(), ItemCount() - 1);
    for (int row = top; row <= last; ++row)
        width = std::max(width, CellContentWidth(self->FetchDisplayData(row, column), column) + 16);
    return width;
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

void TIndexListView::SetStateImages(QList<QIcon> images)
{
    FStateImages = std::move(images);
    viewport()->update();
}

// ---------------------------------------------------- default operations

int TIndexListView::FindRow(const QString& text, bool wrap, int startRow)
{
    if (OnFindRow) {
        const int row = OnFindRow(text, startRow);
        if (row >= 0)
            return row;
    }
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

int TIndexListView::CellImage(int row, int column)
{
    return OnCellImage ? OnCellImage(row, column) : -1;
}

bool TIndexListView::CustomDrawControl(QPainter* painter, TDrawStage stage)
{
    return OnCustomDraw ? OnCustomDraw(painter, stage) : true;
}

bool TIndexListView::CacheHint(int first, int last)
{
    return OnCacheHint ? OnCacheHint(first, last) : false;
}

bool TIndexListView::StateChange(int first, int last, bool selected)
{
    return OnStateChange ? OnStateChange(first, last, selected) : false;
}

bool TIndexListView::CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter)
{
    return OnCustomDrawCell ? OnCustomDrawCell(row, column, option, painter) : true;
}

QString TIndexListView::RowHintText(int row)
{
    QString text = CellText(row, 0);
    if (OnRowHint)
        OnRowHint(row, text);
    return text;
}

void TIndexListView::DrawRow(int row, const QRect& rect, bool selected, QPainter* painter)
{
    if (OnDrawRow) {
        OnDrawRow(row, rect, selected, painter);
        return;
    }
    const QPalette& colors = palette();
    painter->fillRect(rect, selected ? colors.highlight() : colors.base());
    painter->setPen(selected ? colors.highlightedText().color() : colors.text().color());
    painter->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, CellText(row, 0));
}

void TIndexListView::SelectionChanged(int row, bool selected)
{
    if (OnSelectionChanged)
        OnSelectionChanged(row, selected);
}

void TIndexListView::FocusChanged(int row)
{
    if (OnFocusChanged)
        OnFocusChanged(row);
}

void TIndexListView::CreateColumns()
{
    if (OnCreateColumns)
        OnCreateColumns();
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

// --------------------------------------------------------------- events

void TIndexListView::customEvent(QEvent* event)
{
    if (event->type() == EventType(pmListFitColumns))
        FitColumns();
    else
        QAbstractItemView::customEvent(event);
}

bool TIndexListView::event(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard) {
            ContextMenuFromKeyboard(menu);
            return true;
        }
    }
    return QAbstractItemView::event(event);
}

void TIndexListView::ContextMenuFromKeyboard(QContextMenuEvent* event)
{
    // The menu opens at the centre of the first selected row, when one is in view.
    const auto ranges = SelectedRanges();
    QPoint pos = event->pos();
    if (!ranges.empty()) {
        const QRect rect = RowRect(ranges.front().first).intersected(viewport()->rect());
        if (!rect.isEmpty())
            pos = viewport()->mapTo(this, rect.center());
    }
    QContextMenuEvent moved(QContextMenuEvent::Keyboard, pos, mapToGlobal(pos), event->modifiers());
    QAbstractItemView::event(&moved);
    event->setAccepted(moved.isAccepted());
}

bool TIndexListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        ShowRowHint(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

void TIndexListView::ShowRowHint(const QPoint& pos)
{
    const int row = RowAt(pos.y());
    if (row < 0) {
        QToolTip::showText(viewport()->mapToGlobal(pos), toolTip(), viewport());
        return;
    }
    const QString text = RowHintText(row);
    const QRect rect = RowRect(row);
    const QPoint at = viewport()->mapToGlobal(rect.topLeft()) + QPoint(kCursorSize, kCursorSize);
    QToolTip::showText(at, text, viewport(), rect);
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

void TIndexListView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int row = ItemIndex();
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Backspace:
            GoUp();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (row >= 0)
                OpenRow(row);
            return;
        case Qt::Key_Space:
            // Only a list that shows check marks lets Space change them.
            if (!FCheckBoxes)
                break;
            if (row >= 0) {
                if (CellText(row, 0) == QStringLiteral(".."))
                    Beep();
                else
                    ToggleCheck(row);
            }
            return;
        default:
            break;
        }
    }
    if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
        switch (event->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_Home:
        case Qt::Key_Up:
            if (row <= 0)
                Beep();
            break;
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Down:
            if (row == ItemCount() - 1)
                Beep();
            break;
        default:
            break;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void TIndexListView::keyboardSearch(const QString& search)
{
    if (search.isEmpty())
        return;
    // Keys typed in quick succession extend the text; a pause starts anew.
    if (!FSearchTimer.isValid() || FSearchTimer.elapsed() > QApplication::keyboardInputInterval())
        FSearchText.clear();
    FSearchTimer.start();
    FSearchText += search;
    const int current = ItemIndex();
    const int start = FSearchText.size() == 1 ? current + 1 : std::max(current, 0);
    const int row = FindRow(FSearchText, true, start >= ItemCount() ? 0 : start);
    if (row >= 0)
        SetItemIndex(row);
}

void TIndexListView::mousePressEvent(QMouseEvent* event)
{
    FPressRow = RowAt(event->position().toPoint().y());
    FPressModifiers = event->modifiers();
    setFocus(Qt::MouseFocusReason);
    QAbstractItemView::mousePressEvent(event);
}

void TIndexListView::mouseDoubleClickEvent(QMouseEvent*)
{
    const int row = ItemIndex();
    if (row >= 0)
        OpenRow(row);
}

void TIndexListView::startDrag(Qt::DropActions supportedActions)
{
    // With multi-select, Shift or Ctrl extend the selection instead, and a
    // drag starts only from a row that is already selected.
    if (MultiSelect() && ((FPressModifiers & (Qt::ShiftModifier | Qt::ControlModifier)) || !IsSelected(FPressRow)))
        return;
    FDragStartRow = FPressRow;
    QAbstractItemView::startDrag(supportedActions);
}

void TIndexListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    // The whole row shows the focus.
    if (previous.isValid())
        RedrawRow(previous.row());
    if (current.isValid())
        RedrawRow(current.row());
    if (!FRemovingRows)
        FocusChanged(current.isValid() ? current.row() : -1);
}

void TIndexListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    // Single rows are told one by one, longer runs as one range.
    const auto tell = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            if (range.top() == range.bottom())
                SelectionChanged(range.top(), on);
            else
                StateChange(range.top(), range.bottom(), on);
        }
    };
    tell(deselected, false);
    tell(selected, true);
}

// ------------------------------------------------------------ geometry

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

// -------------------------------------------------------------- painting

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
    if (FGridLines) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        for (int visual = 0; visual < columns; ++visual) {
            const int column = FHeader->logicalIndex(visual);
            const int x = FHeader->sectionViewportPosition(column) + FHeader->sectionSize(column) - 1;
            painter.drawLine(x, rect.top(), x, rect.bottom());
        }
    }
    if (row == currentIndex().row() && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect.intersected(viewport()->rect());
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
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
        style()->drawControl(QStyle::CE_ItemViewItem, &option, &painter, this);
}
