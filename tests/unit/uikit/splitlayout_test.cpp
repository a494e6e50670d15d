#include <gtest/gtest.h>

#include "uikit/layoutengine.h"

namespace uikit {
namespace {

TEST(SplitSizes, ExtraSpaceGoesToTheFirstPriorityGroupOnly)
{
    // Log page: the upper pane (priority 1) grows, the lower one keeps its ideal.
    EXPECT_EQ(SplitSizes(600, {{350, 30, 1}, {100, 30, 2}}), (std::vector<int>{500, 100}));
}

TEST(SplitSizes, EqualPrioritiesGrowInProportionToTheirIdeals)
{
    const auto sizes = SplitSizes(1200, {{600, 0, 1}, {200, 0, 1}, {200, 0, 1}});
    EXPECT_EQ(sizes, (std::vector<int>{720, 240, 240}));
}

TEST(SplitSizes, ShortfallShrinksTheFirstGroupToItsMinimumBeforeTheNext)
{
    EXPECT_EQ(SplitSizes(300, {{350, 30, 1}, {100, 30, 2}}), (std::vector<int>{200, 100}));
    EXPECT_EQ(SplitSizes(100, {{350, 30, 1}, {100, 30, 2}}), (std::vector<int>{30, 70}));
}

TEST(SplitSizes, NothingShrinksBelowItsMinimumEvenWhenSpaceRunsOut)
{
    // Main window at its minimum width: both panes stay at 420 and 240.
    EXPECT_EQ(SplitSizes(600, {{580, 420, 1}, {240, 240, 1}}), (std::vector<int>{420, 240}));
    EXPECT_EQ(SplitSizes(700, {{580, 420, 1}, {240, 240, 1}}), (std::vector<int>{460, 240}));
}

TEST(SplitSizes, IdealBelowMinimumStartsAtTheMinimum)
{
    EXPECT_EQ(SplitSizes(50, {{-1, 20, 1}, {0, 30, 1}}), (std::vector<int>{20, 30}));
}

TEST(DragSplit, SeparatorMovesUntilANeighbourReachesItsMinimum)
{
    const std::vector<int> mins{420, 240};
    EXPECT_EQ(DragSplit({580, 240}, mins, 0, -100), (std::vector<int>{480, 340}));
    EXPECT_EQ(DragSplit({580, 240}, mins, 0, -500), (std::vector<int>{420, 400}));
    EXPECT_EQ(DragSplit({580, 240}, mins, 0, 50), (std::vector<int>{580, 240}));
}

TEST(DragSplit, MovesOnlyTheTwoPanesBesideTheSeparator)
{
    EXPECT_EQ(DragSplit({100, 100, 100}, {10, 10, 10}, 1, 40), (std::vector<int>{100, 140, 60}));
    // No pane after the last separator: unchanged.
    EXPECT_EQ(DragSplit({100, 100}, {10, 10}, 1, 40), (std::vector<int>{100, 100}));
}

}  // namespace
}  // namespace uikit
