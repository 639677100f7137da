// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/WindowLayout.h"

#include "common/Rounding.h"

#include <limits>

namespace lantrivex::shell {

namespace {

// A number converted to a 32-bit integer: rounded halves to even, clamped to the range.
std::int32_t toInt32(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (r > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(r);
}

// A width the controls accept: not negative.
void setWidth(TwipsRect& rect, double width) {
    if (width >= 0) {
        rect.width = width;
    }
}

} // namespace

WindowGeometry designGeometry() {
    WindowGeometry g;
    g.tree = {0, 360, 4815, 3495};
    g.bar = {6240, 240, kSizeBarWidth, 2295};
    g.panel0.lblVolume = {5040, 360, 3615, 375};
    g.panel0.lbllblVolume = {5040, 480, 270, 195};
    g.panel0.lstSignatures = {5040, 720, 4815, 4260};
    return g;
}

std::int32_t defaultSizeBarVLeft(double innerWidth) {
    return toInt32(innerWidth) / 2;
}

WindowGeometry layoutWindow(WindowGeometry g, const LayoutMetrics& m, std::int32_t sizeBarVLeft) {
    const double p = sizeBarVLeft;
    const double w = g.bar.width;
    TwipsRect& label = g.panel0.lblVolume;
    TwipsRect& grid = g.panel0.lstSignatures;

    g.tree.top = m.toolbarHeight;
    label.top = g.tree.top;
    grid.top = g.tree.top + label.height;
    const double h = m.innerHeight - m.toolbarHeight - m.statusBarHeight;
    if (h > 0) {
        g.tree.height = h;
        if (g.tree.height - label.height >= 0) {
            grid.height = g.tree.height - label.height;
        }
    }
    if (p - w > 0) {
        g.tree.width = p - w;
    }
    const double r = m.innerWidth - w - g.tree.width;
    if (r > 0) {
        label.width = r;
        grid.width = label.width;
    }
    g.bar = {p, g.tree.top, w, g.tree.height};
    g.tree.left = 0;
    label.left = p + w;
    g.panel0.lbllblVolume.left = label.left + kTotalLineIndent;
    grid.left = label.left;
    return g;
}

PanelGeometry layoutPanel(const PanelGeometry& panel0, PanelGeometry panel) {
    panel.lblVolume.top = panel0.lblVolume.top;
    panel.lstSignatures.top = panel0.lstSignatures.top;
    panel.lblVolume.width = panel0.lblVolume.width;
    panel.lstSignatures.width = panel0.lstSignatures.width;
    panel.lblVolume.left = panel0.lblVolume.left;
    panel.lbllblVolume.left = panel0.lbllblVolume.left;
    panel.lstSignatures.left = panel0.lstSignatures.left;
    panel.lstSignatures.height = panel0.lstSignatures.height;
    return panel;
}

std::optional<double> dragSplitter(double barLeft, int buttons, double pointerX) {
    if (buttons != kLeftButton) {
        return std::nullopt;
    }
    return barLeft + pointerX;
}

WindowGeometry releaseSplitter(WindowGeometry g, double innerWidth) {
    // The bar's width as a 16-bit integer.
    const std::int32_t w32 = toInt32(g.bar.width);
    const double w = w32 < -32768 ? -32768.0 : (w32 > 32767 ? 32767.0 : w32);
    TwipsRect& label = g.panel0.lblVolume;
    TwipsRect& grid = g.panel0.lstSignatures;

    setWidth(g.tree, g.bar.left - g.tree.left - w / 2);
    label.left = g.bar.left + g.bar.width + w / 2;
    g.panel0.lbllblVolume.left = label.left + kTotalLineIndent;
    grid.left = label.left;
    setWidth(label, innerWidth - label.left - w);
    setWidth(grid, label.width);
    return g;
}

PanelGeometry releasePanel(const PanelGeometry& panel0, PanelGeometry panel) {
    panel.lblVolume.left = panel0.lblVolume.left;
    panel.lbllblVolume.left = panel0.lbllblVolume.left;
    panel.lstSignatures.left = panel0.lstSignatures.left;
    panel.lblVolume.width = panel0.lblVolume.width;
    panel.lstSignatures.width = panel0.lstSignatures.width;
    return panel;
}

std::array<std::int32_t, 4> gridColumnWidths(double gridWidth) {
    const std::int32_t c = toInt32(gridWidth) / 6;
    return {c, c, c, 3 * c};
}

} // namespace lantrivex::shell
