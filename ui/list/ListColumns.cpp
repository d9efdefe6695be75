#include "ui/list/ListColumns.h"

#include <algorithm>

namespace {

constexpr int kCellMargin = 16;

int NeededAfter(const std::vector<TListColumn>& columns, std::size_t index)
{
    int sum = 0;
    for (std::size_t j = index + 1; j < columns.size(); ++j)
        sum += columns[j].NeededWidth;
    return sum;
}

bool IsAutoSize(std::size_t index, int autoSizeColumn)
{
    return autoSizeColumn >= 0 && index == static_cast<std::size_t>(autoSizeColumn);
}

} // namespace

int ClampColumnWidth(const TListColumn& column, int width)
{
    if (width < column.MinWidth && width >= 0)
        return column.MinWidth;
    if (column.MaxWidth > 0 && width > column.MaxWidth)
        return column.MaxWidth;
    return width;
}

void DistributeColumnWidths(std::vector<TListColumn>& columns, int clientWidth, int autoSizeColumn)
{
    const int count = static_cast<int>(columns.size());
    if (count < 2)
        return;
    const int others = NeededAfter(columns, 0);
    int w = clientWidth;
    if (w >= others + columns[0].NeededWidth) {
        int rest = w;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            columns[i].PlannedWidth = columns[i].NeededWidth;
            if (!IsAutoSize(i, autoSizeColumn))
                rest -= columns[i].NeededWidth;
        }
        if (autoSizeColumn >= 0 && autoSizeColumn < count)
            columns[autoSizeColumn].PlannedWidth = rest;
        return;
    }
    for (int i = 0; i < count; ++i) {
        TListColumn& column = columns[i];
        const int left = count - i;
        int c = w > kCellMargin ? w / left + w % left : w;
        if (i == 0)
            c = c + 36 < column.NeededWidth ? c + 20 : column.NeededWidth;
        const int after = NeededAfter(columns, i);
        if (w - c >= after)
            c = w - after;
        if (i > 0 && c < w) {
            c = std::min(c, column.NeededWidth);
            c = std::max(c, kCellMargin);
        }
        column.PlannedWidth = c;
        w -= c;
        if (w < 1)
            break;
    }
}

void ApplyColumnWidths(std::vector<TListColumn>& columns, int clientWidth, int autoSizeColumn,
                       const std::function<int(const QString&)>& textWidth)
{
    if (columns.size() == 1) {
        TListColumn& column = columns.front();
        column.MinWidth = std::min(textWidth(column.Caption) + kCellMargin, clientWidth);
        column.MaxWidth = 0;
        column.Width = ClampColumnWidth(column, clientWidth);
        return;
    }
    int used = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        TListColumn& column = columns[i];
        column.MinWidth = textWidth(column.Caption) + kCellMargin;
        column.MaxWidth = IsAutoSize(i, autoSizeColumn) ? 10000
                                                        : std::max(column.NeededWidth + kCellMargin, column.MinWidth);
        if (!IsAutoSize(i, autoSizeColumn)) {
            column.Width = ClampColumnWidth(column, column.PlannedWidth + kCellMargin);
            used += column.Width;
        }
    }
    if (autoSizeColumn >= 0 && autoSizeColumn < static_cast<int>(columns.size())) {
        TListColumn& column = columns[autoSizeColumn];
        column.Width = ClampColumnWidth(column, std::max(clientWidth - used, 0));
    }
}
