#pragma once

#include <QString>
#include <Qt>

#include <functional>
#include <vector>

// One column of a report-style list.
struct TListColumn
{
    QString Caption;
    QString Hint;            // the header's tooltip and accessible text, for columns without a caption
    Qt::Alignment Alignment = Qt::AlignLeft;
    int ImageIndex = -1;
    int Width = 90;
    int MinWidth = 0;
    int MaxWidth = 0;        // 0: no maximum
    int NeededWidth = 260;   // widest measured cell + 16
    int PlannedWidth = 90;   // what the fitting gives before the width rule
    int SavedWidth = 90;     // kept while painting is locked
    int Position = 0;        // place in the header's order
};

// The width a column takes when asked for `width`: the minimum when below
// it (and not negative), the maximum when one is set and exceeded.
[[nodiscard]] int ClampColumnWidth(const TListColumn& column, int width);

// Shares the client width among two or more columns by their needed widths:
// with room for all, each gets what it needs and the auto-size column the
// rest; otherwise the width is dealt out column by column, each column
// getting an even share at most what it needs, the first column a little
// more than its share while that is well below what it needs.
void DistributeColumnWidths(std::vector<TListColumn>& columns, int clientWidth, int autoSizeColumn);

// Sets minimum, maximum and width of every column from its planned width.
// Every column but the auto-size one is its planned width + 16; the
// auto-size column takes what is left of the client width, so that the
// columns fill it exactly when there is room. A single column is always as
// wide as the client area.
void ApplyColumnWidths(std::vector<TListColumn>& columns, int clientWidth, int autoSizeColumn,
                       const std::function<int(const QString&)>& textWidth);
