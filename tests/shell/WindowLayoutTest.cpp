#include "shell/WindowLayout.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(WindowLayout, FirstShowingWithTheDesignSizes) {
    const std::int32_t p = defaultSizeBarVLeft(kDesignInnerWidth);
    EXPECT_EQ(p, 5137);
    const WindowGeometry g = layoutWindow(designGeometry(), LayoutMetrics{}, p);
    EXPECT_EQ(g.tree, (TwipsRect{0, 360, 5107, 6555 - 360 - 315}));
    EXPECT_EQ(g.bar, (TwipsRect{5137, 360, 30, 5880}));
    EXPECT_EQ(g.panel0.lblVolume, (TwipsRect{5167, 360, 5138, 375}));
    EXPECT_EQ(g.panel0.lstSignatures, (TwipsRect{5167, 735, 5138, 5880 - 375}));
    EXPECT_EQ(g.panel0.lbllblVolume, (TwipsRect{5267, 480, 270, 195}))
        << "the total line keeps its design top and width";
    // The panels reach 30 twips beyond the inner area's right edge.
    EXPECT_EQ(g.panel0.lblVolume.left + g.panel0.lblVolume.width, kDesignInnerWidth + 30);
}

TEST(WindowLayout, SizesThatWouldNotBePositiveAreKept) {
    const WindowGeometry before = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);

    // Minimized: shorter than toolbar and status bar together; heights stay.
    LayoutMetrics tiny{9000, 600};
    WindowGeometry g = layoutWindow(before, tiny, 5137);
    EXPECT_EQ(g.tree.height, before.tree.height);
    EXPECT_EQ(g.panel0.lstSignatures.height, before.panel0.lstSignatures.height);
    EXPECT_EQ(g.bar.height, before.tree.height);

    // Tree shorter than the title line: the grid keeps its height, the rest still runs.
    g = layoutWindow(before, LayoutMetrics{9000, 360 + 315 + 200}, 5137);
    EXPECT_EQ(g.tree.height, 200);
    EXPECT_EQ(g.panel0.lstSignatures.height, before.panel0.lstSignatures.height);
    EXPECT_EQ(g.panel0.lblVolume.width, 9000 - 30 - 5107);

    // Splitter at the left edge: the tree keeps its width; panels follow the bar.
    g = layoutWindow(before, LayoutMetrics{}, 20);
    EXPECT_EQ(g.tree.width, before.tree.width);
    EXPECT_EQ(g.bar.left, 20);
    EXPECT_EQ(g.panel0.lblVolume.left, 50);

    // Splitter beyond the right edge: no room for the panels; their widths stay.
    g = layoutWindow(before, LayoutMetrics{}, 11000);
    EXPECT_EQ(g.tree.width, 10970);
    EXPECT_EQ(g.panel0.lblVolume.width, before.panel0.lblVolume.width);
    EXPECT_EQ(g.panel0.lstSignatures.width, before.panel0.lstSignatures.width);
}

TEST(WindowLayout, PanelsCopyTheTemplateButKeepTheirTotalLineTop) {
    const WindowGeometry g = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);
    const PanelGeometry old = designGeometry().panel0;
    const PanelGeometry k = layoutPanel(g.panel0, old);
    EXPECT_EQ(k.lblVolume, g.panel0.lblVolume);
    EXPECT_EQ(k.lstSignatures, g.panel0.lstSignatures);
    EXPECT_EQ(k.lbllblVolume.left, g.panel0.lbllblVolume.left);
    EXPECT_EQ(k.lbllblVolume.top, 480);
}

TEST(Splitter, DragFollowsThePointerWithTheLeftButtonAlone) {
    EXPECT_EQ(dragSplitter(5137, kLeftButton, 150), 5287.0);
    EXPECT_EQ(dragSplitter(5137, kLeftButton, -6000), -863.0) << "no limit";
    EXPECT_FALSE(dragSplitter(5137, 0, 150).has_value()) << "a move without button";
    EXPECT_FALSE(dragSplitter(5137, 2, 150).has_value()) << "right button";
    EXPECT_FALSE(dragSplitter(5137, 3, 150).has_value()) << "left together with right";
}

TEST(Splitter, ClickWithoutMovingShiftsTheDivision) {
    const WindowGeometry laidOut = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);
    const WindowGeometry g = releaseSplitter(laidOut, kDesignInnerWidth);
    EXPECT_EQ(g.tree.width, 5137 - 15);
    EXPECT_EQ(g.panel0.lblVolume.left, 5137 + 45);
    EXPECT_EQ(g.panel0.lbllblVolume.left, 5137 + 145);
    EXPECT_EQ(g.panel0.lstSignatures.left, 5137 + 45);
    EXPECT_EQ(g.panel0.lblVolume.width, kDesignInnerWidth - 5137 - 75);
    EXPECT_EQ(g.panel0.lstSignatures.width, g.panel0.lblVolume.width);
    EXPECT_EQ(g.bar, laidOut.bar) << "the release does not move the bar";
    EXPECT_EQ(g.tree.height, laidOut.tree.height);
    EXPECT_EQ(g.panel0.lstSignatures.top, laidOut.panel0.lstSignatures.top);

    // The next layout puts everything back by its own rule.
    EXPECT_EQ(layoutWindow(g, LayoutMetrics{}, 5137), laidOut);
}

TEST(Splitter, DragToTheLeftEdgeKeepsTheTreeWidth) {
    WindowGeometry g = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);
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

TEST(Splitter, PanelsCopyLeftsAndWidthsOnly) {
    WindowGeometry g = layoutWindow(designGeometry(), LayoutMetrics{}, 5137);
    g = releaseSplitter(g, kDesignInnerWidth);
    PanelGeometry old = designGeometry().panel0;
    const PanelGeometry k = releasePanel(g.panel0, old);
    EXPECT_EQ(k.lblVolume.left, g.panel0.lblVolume.left);
    EXPECT_EQ(k.lblVolume.width, g.panel0.lblVolume.width);
    EXPECT_EQ(k.lstSignatures.left, g.panel0.lstSignatures.left);
    EXPECT_EQ(k.lstSignatures.width, g.panel0.lstSignatures.width);
    EXPECT_EQ(k.lbllblVolume.left, g.panel0.lbllblVolume.left);
    EXPECT_EQ(k.lstSignatures.top, old.lstSignatures.top);
    EXPECT_EQ(k.lstSignatures.height, old.lstSignatures.height);
}

TEST(GridColumns, SixthsWithTheRemainderLeftOver) {
    EXPECT_EQ(gridColumnWidths(4815), (std::array<std::int32_t, 4>{802, 802, 802, 2406}));
    EXPECT_EQ(gridColumnWidths(4800), (std::array<std::int32_t, 4>{800, 800, 800, 2400}));
    EXPECT_EQ(gridColumnWidths(5), (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(gridColumnWidths(4814.5), (std::array<std::int32_t, 4>{802, 802, 802, 2406}));
}

} // namespace
} // namespace lantrivex::shell
