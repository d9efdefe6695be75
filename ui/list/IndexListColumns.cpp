// TIndexListView: its columns, the header that shows them, and the
// automatic column widths.

#include "ui/list/IndexListModel.h"
#include "ui/list/IndexListView.h"

#include <QHeaderView>

#include <algorithm>

void TIndexListView::ConnectHeader()
{
    FHeader->setModel(FModel);
    FHeader->setSelectionModel(selectionModel());
    FHeader->setSectionsClickable(true);
    FHeader->setHighlightSections(false);
    FHeader->setStretchLastSection(false);
    FHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FHeader, &QHeaderView::sectionResized, this, &TIndexListView::HeaderSectionResized);
    connect(FHeader, &QHeaderView::sectionHandleDoubleClicked, this, &TIndexListView::HeaderHandleDoubleClicked);
    connect(FHeader, &QHeaderView::sectionMoved, this, &TIndexListView::HeaderSectionMoved);
    connect(FHeader, &QHeaderView::sectionClicked, this, &TIndexListView::ColumnClicked);
    connect(FHeader, &QHeaderView::customContextMenuRequested, this, &TIndexListView::HeaderContextMenu);
}

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
    ResizeSection(index, column.Width);
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

void TIndexListView::SetColumnDecoration(int column, int image, const QString& hint)
{
    if (column < 0 || column >= static_cast<int>(FColumns.size()))
        return;
    FColumns[column].ImageIndex = image;
    FColumns[column].Hint = hint;
    FModel->HeaderChanged();
}

void TIndexListView::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= static_cast<int>(FColumns.size()))
        return;
    FColumns[column].Width = ClampColumnWidth(FColumns[column], width);
    ResizeSection(column, FColumns[column].Width);
}

void TIndexListView::ResizeSection(int column, int width)
{
    FSettingWidths = true;
    FHeader->resizeSection(column, width);
    FSettingWidths = false;
}

// ------------------------------------------------------------ the header

void TIndexListView::HeaderSectionResized(int logical, int, int newSize)
{
    if (FSettingWidths || logical < 0 || logical >= static_cast<int>(FColumns.size()))
        return;
    // The user drags a divider: the width shown stays within the column's bounds.
    const int width = ClampColumnWidth(FColumns[logical], newSize);
    FColumns[logical].Width = width;
    if (width != newSize)
        ResizeSection(logical, width);
}

void TIndexListView::HeaderHandleDoubleClicked(int logical)
{
    if (logical < 0 || logical >= static_cast<int>(FColumns.size()))
        return;
    // The platform's own choice is stored as it is.
    const int width = sizeHintForColumn(logical);
    FColumns[logical].Width = width;
    ResizeSection(logical, width);
}

void TIndexListView::HeaderSectionMoved()
{
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        FColumns[i].Position = FHeader->visualIndex(static_cast<int>(i));
    Q_EMIT ColumnsReordered();
}

void TIndexListView::HeaderContextMenu(const QPoint& pos)
{
    const int column = FHeader->logicalIndexAt(pos);
    if (column >= 0)
        Q_EMIT ColumnRightClicked(column, FHeader->mapToGlobal(pos));
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
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        ResizeSection(static_cast<int>(i), FColumns[i].Width);
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
