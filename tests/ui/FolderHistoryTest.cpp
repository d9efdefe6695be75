#include "ui/forms/FolderHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A step of a walk through the folders: a folder the window showed, or
// Back (-1) and Forward (-2).
constexpr int kBack = -1;
constexpr int kForward = -2;

struct THistoryCase
{
    const char* Name;
    std::vector<int> Steps;
    std::vector<TStoreId> Entries;
    int Position;
    bool CanGoBack;
    bool CanGoForward;
};

class FolderHistoryTest : public ::testing::TestWithParam<THistoryCase>
{
};

TEST_P(FolderHistoryTest, FollowsTheWalk)
{
    const THistoryCase& test = GetParam();
    TFolderHistory history;
    // As the window does: a step that is not possible opens nothing.
    for (int step : test.Steps) {
        const TStoreId folder = step == kBack      ? history.GoBack()
                                : step == kForward ? history.GoForward()
                                                   : static_cast<TStoreId>(step);
        if (folder != kNoStoreId)
            history.Visited(folder);
    }
    EXPECT_EQ(history.Entries(), test.Entries);
    EXPECT_EQ(history.Position(), test.Position);
    EXPECT_EQ(history.CanGoBack(), test.CanGoBack);
    EXPECT_EQ(history.CanGoForward(), test.CanGoForward);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, FolderHistoryTest,
    ::testing::Values(
        THistoryCase{"Empty", {}, {}, 0, false, false},
        THistoryCase{"OneFolder", {1}, {1}, 0, false, false},
        THistoryCase{"SameFolderAgainAddsNothing", {1, 1, 1}, {1}, 0, false, false},
        THistoryCase{"ThreeFolders", {1, 6, 7}, {1, 6, 7}, 2, true, false},
        THistoryCase{"BackTwice", {1, 6, 7, kBack, kBack}, {1, 6, 7}, 0, false, true},
        THistoryCase{"BackThenForward", {1, 6, 7, kBack, kBack, kForward}, {1, 6, 7}, 1, true, true},
        THistoryCase{"AnotherFolderDropsTheForwardPart", {1, 6, 7, kBack, kBack, 8}, {1, 8}, 1, true, false},
        THistoryCase{"BackAtTheStartStays", {1, kBack}, {1}, 0, false, false}),
    [](const ::testing::TestParamInfo<THistoryCase>& info) { return info.param.Name; });

} // namespace
