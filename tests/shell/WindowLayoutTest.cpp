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
    EXPECT_EQ(laidOut.panel0.lblVolume, (TwipsRect{5167, 360, 5138, 375}));
    EXPECT_EQ(laidOut.panel0.lstSignatures, (TwipsRect{5167, 735, 5138, 5880 - 375}));
    EXPECT_EQ(laidOut.panel0.lbllblVolume, (TwipsRect{5267, 480, 270, 195}))
        << "the total line keeps its design top and width";
    const PanelGeometry k = layoutPanel(laidOut.panel0, designGeometry().panel0);
    EXPECT_EQ(k.lblVolume, laidOut.panel0.lblVolume);
    EXPECT_EQ(k.lstSignatures, laidOut.panel0.lstSignatures);
    EXPECT_EQ(k.lbllblVolume.left, laidOut.panel0.lbllblVolume.left);
    EXPECT_EQ(k.lbllblVolume.top, 480);
}

TEST_F(WindowLayoutTest, SizesThatWouldNotBePositiveAreKept) {
    const PanelGeometry& p0 = laidOut.panel0;
    // Minimized: shorter than toolbar and status bar together; heights stay.
    WindowGeometry g = layoutWindow(laidOut, LayoutMetrics{9000, 600}, 5137);
    EXPECT_EQ(g.tree.height, laidOut.tree.height);
    EXPECT_EQ(g.panel0.lstSignatures.height, p0.lstSignatures.height);
    // Tree shorter than the title line: the grid keeps its height, the rest still runs.
    g = layoutWindow(laidOut, LayoutMetrics{9000, 360 + 315 + 200}, 5137);
    EXPECT_EQ(g.tree.height, 200);
    EXPECT_EQ(g.panel0.lstSignatures.height, p0.lstSignatures.height);
    EXPECT_EQ(g.panel0.lblVolume.width, 9000 - 30 - 5107);
    // Splitter at the left edge: the tree keeps its width; panels follow the bar.
    g = layoutWindow(laidOut, LayoutMetrics{}, 20);
    EXPECT_EQ(g.tree.width, laidOut.tree.width);
    EXPECT_EQ(g.panel0.lblVolume.left, 50);
    // Splitter beyond the right edge: no room for the panels; their widths stay.
    g = layoutWindow(laidOut, LayoutMetrics{}, 11000);
    EXPECT_EQ(g.tree.width, 10970);
    EXPECT_EQ(g.panel0.lblVolume.width, p0.lblVolume.width);
    EXPECT_EQ(g.panel0.lstSignatures.width, p0.lstSignatures.width);
}

TEST_F(WindowLayoutTest, DragFollowsThePointerWithTheLeftButtonAlone) {
    EXPECT_EQ(dragSplitter(5137, kLeftButton, 150), 5287.0);
    EXPECT_EQ(dragSplitter(5137, kLeftButton, -6000), -863.0) << "no limit";
    for (int buttons : {0, 2, 3}) {
        EXPECT_FALSE(dragSplitter(5137, buttons, 150).has_value()) << buttons;
    }
}

TEST_F(WindowLayoutTest, ClickWithoutMovingShiftsTheDivision) {
    const WindowGeometry g = releaseSplitter(laidOut, kDesignInnerWidth);
    EXPECT_EQ(g.tree, (TwipsRect{0, 360, 5137 - 15, laidOut.tree.height}));
    EXPECT_EQ(g.panel0.lblVolume.left, 5137 + 45);
    EXPECT_EQ(g.panel0.lbllblVolume.left, 5137 + 145);
    EXPECT_EQ(g.panel0.lstSignatures.left, 5137 + 45);
    EXPECT_EQ(g.panel0.lblVolume.width, kDesignInnerWidth - 5137 - 75);
    EXPECT_EQ(g.panel0.lstSignatures.width, g.panel0.lblVolume.width);
    EXPECT_EQ(g.bar, laidOut.bar) << "the release does not move the bar";
    EXPECT_EQ(g.panel0.lstSignatures.top, laidOut.panel0.lstSignatures.top);
    EXPECT_EQ(layoutWindow(g, LayoutMetrics{}, 5137), laidOut) << "the next layout restores all";
    PanelGeometry expected = designGeometry().panel0;
    for (auto member : {&PanelGeometry::lblVolume, &PanelGeometry::lstSignatures}) {
        (expected.*member).left = (g.panel0.*member).left;
        (expected.*member).width = (g.panel0.*member).width;
    }
    expected.lbllblVolume.left = g.panel0.lbllblVolume.left;
    EXPECT_EQ(releasePanel(g.panel0, designGeometry().panel0), expected) << "lefts, widths only";
}

TEST_F(WindowLayoutTest, DragToTheLeftEdgeKeepsTheTreeWidth) {
    WindowGeometry g = laidOut;
    g.bar.left = *dragSplitter(g.bar.left, kLeftButton, -5130); // left edge 7
    g = releaseSplitter(g, kDesignInnerWidth);
    EXPECT_EQ(g.tree.width, 5107) << "7 - 15 is negative: refused";
    EXPECT_EQ(g.panel0.lblVolume.left, 7 + 30 + 15);
    EXPECT_EQ(g.panel0.lblVolume.width, kDesignInnerWidth - 52 - 30);
    // Dragged beyond the right edge: the panels keep their widths, their lefts follow.
    g.bar.left = 10400;
    const WindowGeometry beyond = releaseSplitter(g, kDesignInnerWidth);
    EXPECT_EQ(beyond.tree.width, 10385);
    EXPECT_EQ(beyond.panel0.lblVolume.left, 10445);
    EXPECT_EQ(beyond.panel0.lblVolume.width, g.panel0.lblVolume.width);
    EXPECT_EQ(beyond.panel0.lstSignatures.width, g.panel0.lblVolume.width);
}

TEST(GridColumns, SixthsWithTheRemainderLeftOver) {
    using W = std::array<std::int32_t, 4>;
    EXPECT_EQ(gridColumnWidths(4815), (W{802, 802, 802, 2406}));
    EXPECT_EQ(gridColumnWidths(4814.5), (W{802, 802, 802, 2406}));
    EXPECT_EQ(gridColumnWidths(5), (W{0, 0, 0, 0}));
}

} // namespace
} // namespace lantrivex::shell
