#include "ui/list/ListColumns.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Table cases print as their names.
using ::PrintTo;

std::vector<TListColumn> ColumnsNeeding(std::initializer_list<int> needed)
{
    std::vector<TListColumn> columns;
    for (int width : needed) {
        TListColumn column;
        column.NeededWidth = width;
        columns.push_back(column);
    }
    return columns;
}

std::vector<int> Planned(const std::vector<TListColumn>& columns)
{
    std::vector<int> widths;
    for (const TListColumn& column : columns)
        widths.push_back(column.PlannedWidth);
    return widths;
}

std::vector<int> Widths(const std::vector<TListColumn>& columns)
{
    std::vector<int> widths;
    for (const TListColumn& column : columns)
        widths.push_back(column.Width);
    return widths;
}

int NoText(const QString&)
{
    return 0;
}

struct TClampCase
{
    std::string Name;
    int Min;
    int Max;
    int Asked;
    int Expected;
};

class ColumnWidthRule : public ::testing::TestWithParam<TClampCase>
{
};

TEST_P(ColumnWidthRule, KeepsTheWidthWithinTheBounds)
{
    const TClampCase& c = GetParam();
    TListColumn column;
    column.MinWidth = c.Min;
    column.MaxWidth = c.Max;
    EXPECT_EQ(ClampColumnWidth(column, c.Asked), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColumnWidthRule,
                         ::testing::Values(TClampCase{"BelowTheMinimum", 40, 200, 10, 40},
                                           TClampCase{"Inside", 40, 200, 120, 120},
                                           TClampCase{"AboveTheMaximum", 40, 200, 300, 200},
                                           TClampCase{"NoMaximum", 40, 0, 5000, 5000},
                                           TClampCase{"NegativeIsLeftAlone", 40, 200, -1, -1}),
                         TCaseName());

TEST(ColumnFitting, WithPlentyOfRoomEveryColumnGetsItsNeedAndTheAutoSizeColumnTheRest)
{
    for (int autoSize : {0, 1}) {
        auto columns = ColumnsNeeding({100, 50, 60});
        DistributeColumnWidths(columns, 400, autoSize);
        ApplyColumnWidths(columns, 400, autoSize, NoText);
        int sum = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (static_cast<int>(i) != autoSize) {
                EXPECT_EQ(columns[i].Width, columns[i].NeededWidth + 16) << "column " << i;
            }
            sum += columns[i].Width;
        }
        EXPECT_EQ(sum, 400) << "auto-size column " << autoSize;
        EXPECT_EQ(columns[autoSize].MaxWidth, 10000);
    }
}

TEST(ColumnFitting, WhenCrowdedTheWidthIsDealtOutColumnByColumn)
{
    auto columns = ColumnsNeeding({300, 200, 100});
    DistributeColumnWidths(columns, 300, 0);
    // The first column gets its share + 20, the others a share at most their need.
    EXPECT_EQ(Planned(columns), (std::vector<int>{120, 90, 90}));

    // The first column that needs little takes its need and leaves the rest.
    columns = ColumnsNeeding({40, 400, 400});
    DistributeColumnWidths(columns, 300, 0);
    EXPECT_EQ(Planned(columns), (std::vector<int>{40, 130, 130}));
}

TEST(ColumnFitting, ASingleColumnIsAsWideAsTheClientArea)
{
    auto columns = ColumnsNeeding({5000});
    ApplyColumnWidths(columns, 250, 0, [](const QString&) { return 1000; });
    EXPECT_EQ(Widths(columns), std::vector<int>{250});
}

TEST(ColumnFitting, CaptionsSetTheMinimumWidth)
{
    auto columns = ColumnsNeeding({20, 20});
    columns[1].Caption = QStringLiteral("wide caption");
    DistributeColumnWidths(columns, 400, 0);
    ApplyColumnWidths(columns, 400, 0, [](const QString& text) { return static_cast<int>(text.size()) * 10; });
    EXPECT_EQ(columns[1].MinWidth, 136);
    EXPECT_EQ(columns[1].Width, 136);
    EXPECT_EQ(columns[0].Width, 400 - 136);
}

} // namespace
