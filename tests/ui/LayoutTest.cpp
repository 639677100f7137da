#include "WindowFixture.h"

#include <QMenuBar>

namespace lantrivex::ui::test {
namespace {

class LayoutTest : public WindowTest {
protected:
    shell::TwipsRect twips(const char* name) { return window->twipsGeometry(child<QWidget>(name)); }

    // The mouse on the splitter bar, at `x` pixels within it.
    void barMouse(QEvent::Type type, int x, Qt::MouseButtons buttons) {
        QWidget* bar = child<QWidget>("SizeBarV");
        const QPointF local(x, 5);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, bar->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    }
    void drag(int x) {
        QWidget* bar = child<QWidget>("SizeBarV");
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 5));
        barMouse(QEvent::MouseMove, x, Qt::LeftButton);
    }
    void release() {
        QTest::mouseRelease(child<QWidget>("SizeBarV"), Qt::LeftButton, {}, QPoint(1, 5));
    }
};

TEST_F(LayoutTest, FirstShowingWithoutSettings) {
    start();
    EXPECT_EQ(twips("treeCatalogue"), (shell::TwipsRect{0, 360, 5107, 5880}));
    EXPECT_EQ(twips("SizeBarV"), (shell::TwipsRect{5137, 360, 30, 5880}));
    EXPECT_EQ(twips("lblVolume(0)"), (shell::TwipsRect{5167, 360, 5138, 375}));
    EXPECT_EQ(twips("lstSignatures(0)"), (shell::TwipsRect{5167, 735, 5138, 5505}));
    EXPECT_EQ(twips("lbllblVolume(0)").left, 5267);
    EXPECT_EQ(twips("lbllblVolume(0)").top, 480);
    EXPECT_EQ(twips("StatusBar1"), (shell::TwipsRect{0, 6240, 10275, 315}));
    EXPECT_EQ(twips("Toolbar1"), (shell::TwipsRect{0, 0, 10275, 360}));
    // Applied at 15 twips per pixel.
    EXPECT_EQ(child<QWidget>("treeCatalogue")->geometry(), QRect(0, 24, 340, 392));
    EXPECT_EQ(child<QWidget>("StatusBar1")->geometry(), QRect(0, 416, 685, 21));
    // The template grid was set up for its width: 5138 / 6 = 856.
    EXPECT_EQ(window->gridColumnWidths(0), (std::array<std::int32_t, 4>{856, 856, 856, 2568}));
}

TEST_F(LayoutTest, LoadedPanelsFollowTheTemplate) {
    start();
    addVolumes();
    EXPECT_EQ(twips("lblVolume(2)"), twips("lblVolume(0)"));
    EXPECT_EQ(twips("lstSignatures(2)"), twips("lstSignatures(0)"));
    EXPECT_EQ(twips("lbllblVolume(2)").left, twips("lbllblVolume(0)").left);
    window->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(twips("lstSignatures(1)"), twips("lstSignatures(0)"));
    EXPECT_EQ(twips("lstSignatures(1)").width, 1000 * 15 - 5137);
    EXPECT_EQ(twips("lbllblVolume(1)").top, 480);
}

TEST_F(LayoutTest, ClickOnTheBarWithoutMovingShiftsTheDivision) {
    start();
    addVolumes();
    const auto gridBefore = window->gridColumnWidths(1);
    QTest::mouseClick(child<QWidget>("SizeBarV"), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(twips("treeCatalogue").width, 5137 - 15);
    EXPECT_EQ(twips("lblVolume(0)").left, 5137 + 45);
    EXPECT_EQ(twips("lblVolume(1)").left, 5137 + 45);
    EXPECT_EQ(twips("lblVolume(1)").width, 10275 - 5137 - 75);
    EXPECT_EQ(twips("SizeBarV").left, 5137);
    const std::int32_t c = (10275 - 5137 - 75) / 6;
    EXPECT_EQ(window->gridColumnWidths(1), (std::array<std::int32_t, 4>{c, c, c, 3 * c}));
    EXPECT_NE(window->gridColumnWidths(1), gridBefore);
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856) << "the template's columns stay";
}

TEST_F(LayoutTest, ReleaseOnAPanel4815TwipsWide) {
    setting("Positions", "SizeBarVLeft", "5385");
    start();
    addVolumes();
    QTest::mouseClick(child<QWidget>("SizeBarV"), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(twips("lstSignatures(1)").width, 4815);
    EXPECT_EQ(window->gridColumnWidths(1), (std::array<std::int32_t, 4>{802, 802, 802, 2406}));
    EXPECT_EQ(window->gridColumnWidths(2), (std::array<std::int32_t, 4>{802, 802, 802, 2406}));
}

TEST_F(LayoutTest, DragMovesOnlyTheBarAndTheNextLayoutPutsItBack) {
    start();
    addVolumes();
    const shell::TwipsRect tree = twips("treeCatalogue");
    drag(21); // 21 pixels right of the press: 315 twips
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315);
    EXPECT_EQ(twips("treeCatalogue"), tree) << "nothing else moves during the drag";
    EXPECT_EQ(child<QWidget>("SizeBarV")->palette().color(QPalette::Window), QColor(128, 128, 128));

    barMouse(QEvent::MouseMove, 5, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315) << "left and right together do not drag";
    barMouse(QEvent::MouseMove, 5, Qt::NoButton);
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315);

    release();
    EXPECT_EQ(twips("treeCatalogue").width, 5452 - 15);
    EXPECT_EQ(twips("lblVolume(1)").left, 5452 + 45);
    EXPECT_NE(child<QWidget>("SizeBarV")->palette().color(QPalette::Window), QColor(128, 128, 128));

    window->resize(800, 500);
    QApplication::processEvents();
    EXPECT_EQ(twips("SizeBarV").left, 5137) << "the layout returns the bar to its start place";
    EXPECT_EQ(twips("treeCatalogue").width, 5107);
    EXPECT_EQ(twips("lblVolume(1)").left, 5167);

    window->close();
    EXPECT_EQ(setting("Positions", "SizeBarVLeft"), "5137");
}

TEST_F(LayoutTest, DragToTheLeftEdge) {
    start();
    addVolumes();
    drag(-342); // to 5137 - 5130 = 7 twips
    EXPECT_EQ(twips("SizeBarV").left, 7);
    release();
    EXPECT_EQ(twips("treeCatalogue").width, 5107) << "a negative width is refused";
    EXPECT_EQ(twips("lblVolume(1)").left, 52);
    EXPECT_EQ(twips("lstSignatures(1)").width, 10275 - 52 - 30);

    window->close();
    EXPECT_EQ(setting("Positions", "SizeBarVLeft"), "7") << "the dragged place is saved";
}

TEST_F(LayoutTest, ReleaseWithoutPanelsSetsNoColumns) {
    start();
    QTest::mouseClick(child<QWidget>("SizeBarV"), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856);
    EXPECT_EQ(window->volumePanelCount(), 0);
}

TEST_F(LayoutTest, WindowShorterThanItsBarsKeepsTheHeights) {
    start();
    const shell::TwipsRect tree = twips("treeCatalogue");
    window->resize(500, window->menuBar()->height() + 30);
    QApplication::processEvents();
    EXPECT_EQ(twips("treeCatalogue").height, tree.height);
    EXPECT_EQ(twips("lstSignatures(0)").height, twips("lstSignatures(0)").height);
    EXPECT_EQ(twips("StatusBar1").top, 30 * 15 - 315);
}

} // namespace
} // namespace lantrivex::ui::test
