// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace lantrivex::shell {

// Positions and sizes of the main window's controls, in twips, in the window's inner area. The
// window has no layout manager: the two procedures below place the controls by arithmetic, and
// the window applies their results at 15 twips per pixel.
inline constexpr double kTwipsPerPixel = 15.0;

// The design data of the main window.
inline constexpr double kDesignInnerWidth = 10275.0;
inline constexpr double kDesignInnerHeight = 6555.0;
inline constexpr double kToolbarHeight = 360.0;
inline constexpr double kStatusBarHeight = 315.0;
inline constexpr double kSizeBarWidth = 30.0;
// The total line sits this far right of the title line's left edge.
inline constexpr double kTotalLineIndent = 100.0;

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// One volume panel: title line, total line and result grid (element 0 is the hidden template).
struct PanelGeometry {
    TwipsRect lblVolume;
    TwipsRect lbllblVolume;
    TwipsRect lstSignatures;

    friend bool operator==(const PanelGeometry&, const PanelGeometry&) = default;
};

// What the layout procedures read and set: the tree, the splitter bar and the template panel.
struct WindowGeometry {
    TwipsRect tree;
    TwipsRect bar;
    PanelGeometry panel0;

    friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// The design-time geometry of the controls.
WindowGeometry designGeometry();

// The sizes the window layout depends on.
struct LayoutMetrics {
    double innerWidth = kDesignInnerWidth;
    double innerHeight = kDesignInnerHeight;
    double toolbarHeight = kToolbarHeight;
    double statusBarHeight = kStatusBarHeight;
};

// The splitter's stored position when the settings hold none: half the inner width, converted to
// a 32-bit integer, remainder of the division dropped (5137 for the design width 10275).
std::int32_t defaultSizeBarVLeft(double innerWidth);

// The window layout, run on every resize: stacks the tree between the toolbar and the status bar,
// puts the bar at `sizeBarVLeft` and the template panel right of it. Sizes that would not be
// positive are not applied (the controls keep theirs); a grid height that would be negative (a
// tree shorter than the title line) is not applied either.
WindowGeometry layoutWindow(WindowGeometry current, const LayoutMetrics& metrics,
                            std::int32_t sizeBarVLeft);

// Copies the window layout's results from the template to a loaded panel: the title line's top,
// width and left, the total line's left, the grid's top, width, left and height. The total line's
// top and everything's visibility stay.
PanelGeometry layoutPanel(const PanelGeometry& panel0, PanelGeometry panel);

// The splitter drag: with exactly the left button held (value 1), the bar follows the pointer
// (`pointerX`, twips within the bar, negative left of it) with no limit; the new left edge, or
// nullopt when nothing moves.
std::optional<double> dragSplitter(double barLeft, int buttons, double pointerX);
inline constexpr int kLeftButton = 1;

// The splitter release: re-divides the width around the bar where it now is. Assignments that
// would give a negative width are skipped; the other steps still run. No top, no height and not
// the bar itself change.
WindowGeometry releaseSplitter(WindowGeometry current, double innerWidth);

// Copies the release's results from the template to a loaded panel: lefts and widths.
PanelGeometry releasePanel(const PanelGeometry& panel0, PanelGeometry panel);

// The column widths of a result grid `gridWidth` twips wide: c = the width as a 32-bit integer,
// divided by 6 with the remainder dropped; columns "#", "%" and "Signature" get c, "Type" 3 c.
std::array<std::int32_t, 4> gridColumnWidths(double gridWidth);

} // namespace lantrivex::shell
