// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/WindowLayout.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

class WindowLayoutTest : public ::testing::Test {
protected:
    const WindowGeometry laidOut = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);
};

TEST_F(WindowLayoutTest, FirstShowingWithTheDesignSizes) {
    EXPECT_EQ(defaultSizeBarVLeft(kDesignInnerWidth), 5137);
    EXPECT_EQ(laidOut.tree, (TwipsRect{0, 360, 5107, 6555 - 360 - 315}));
    EXPECT_EQ(laidOut.bar, (TwipsRect{5137, 360, 30, 5880}));
    EXPECT_EQ(laidOut.panel0, (PanelGeometry{{5167, 360, 5138, 375},
                                             {5267, 480, 270, 195}, // design top and width kept
                                             {5167, 735, 5138, 5880 - 375}}));
    EXPECT_EQ(layoutPanel(laidOut.panel0, designGeometry().panel0), laidOut.panel0);
}

TEST_F(WindowLayoutTest, SizesThatWouldNotBePositiveAreKept) {
    const double treeHeight = laidOut.tree.height, gridHeight = laidOut.panel0.lstSignatures.height;
    // Minimized (shorter than toolbar and status bar together): the heights stay.
    WindowGeometry g = layoutWindow(laidOut, LayoutMetrics{9000, 600}, 5137);
    EXPECT_TRUE(g.tree.height == treeHeight && g.panel0.lstSignatures.height == gridHeight);
    // A tree shorter than the title line: the grid keeps its height, the rest still runs.
    g = layoutWindow(laidOut, LayoutMetrics{9000, 360 + 315 + 200}, 5137);
    EXPECT_TRUE(g.tree.height == 200 && g.panel0.lstSignatures.height == gridHeight);
    EXPECT_EQ(g.panel0.lblVolume.width, 9000 - 30 - 5107);
    // The splitter at the left edge: the tree keeps its width; the panels follow the bar.
    g = layoutWindow(laidOut, LayoutMetrics{}, 20);
    EXPECT_TRUE(g.tree.width == laidOut.tree.width && g.panel0.lblVolume.left == 50);
    // Beyond the right edge: no room for the panels; their widths stay.
    g = layoutWindow(laidOut, LayoutMetrics{}, 11000);
    EXPECT_TRUE(g.tree.width == 10970 &&
                g.panel0.lstSignatures.width == laidOut.panel0.lstSignatures.width);
}

TEST_F(WindowLayoutTest, ClickWithoutMovingShiftsTheDivision) {
    const WindowGeometry g = releaseSplitter(laidOut, kDesignInnerWidth);
    EXPECT_EQ(g.tree, (TwipsRect{0, 360, 5137 - 15, laidOut.tree.height}));
    const double width = kDesignInnerWidth - 5137 - 75;
    EXPECT_EQ(g.panel0, (PanelGeometry{{5137 + 45, 360, width, 375},
                                       {5137 + 145, 480, 270, 195},
                                       {5137 + 45, 735, width, 5505}}));
    EXPECT_EQ(g.bar, laidOut.bar) << "the release does not move the bar";
    EXPECT_EQ(layoutWindow(g, LayoutMetrics{}, 5137), laidOut) << "the next layout restores all";
}

TEST_F(WindowLayoutTest, DragWithTheLeftButtonAloneAndNoLimit) {
    EXPECT_FALSE(dragSplitter(5137, 0, 1) || dragSplitter(5137, 2, 1) || dragSplitter(5137, 3, 1));
    WindowGeometry g = laidOut;
    g.bar.left = *dragSplitter(g.bar.left, kLeftButton, -5130); // no limit: left edge 7
    g = releaseSplitter(g, kDesignInnerWidth);
    EXPECT_EQ(g.tree.width, 5107) << "7 - 15 is negative: refused";
    EXPECT_EQ(g.panel0.lblVolume, (TwipsRect{7 + 30 + 15, 360, kDesignInnerWidth - 52 - 30, 375}));
    // Dragged beyond the right edge: the panels keep their widths, their lefts follow.
    g.bar.left = 10400;
    const WindowGeometry beyond = releaseSplitter(g, kDesignInnerWidth);
    EXPECT_TRUE(beyond.tree.width == 10385 && beyond.panel0.lblVolume.left == 10445);
    EXPECT_EQ(beyond.panel0.lstSignatures.width, g.panel0.lblVolume.width);
}

TEST(GridColumns, SixthsWithTheRemainderLeftOver) {
    EXPECT_EQ(gridColumnWidths(4814.5), (std::array<std::int32_t, 4>{802, 802, 802, 2406}));
    EXPECT_EQ(gridColumnWidths(5)[3], 0);
}

} // namespace
} // namespace lantrivex::shell
