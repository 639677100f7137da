#include "WindowFixture.h"

namespace lantrivex::ui::test {
namespace {

class LayoutTest : public WindowTest {
protected:
    shell::TwipsRect twips(const char* name) { return window->twipsGeometry(child<QWidget>(name)); }
    QWidget* bar() { return child<QWidget>("SizeBarV"); }

    // The mouse moved on the splitter bar to `x` pixels within it.
    void move(int x, Qt::MouseButtons buttons) {
        const QPointF local(x, 5);
        QMouseEvent event(QEvent::MouseMove, local, bar()->mapToGlobal(local), Qt::NoButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(bar(), &event);
    }
    QColor barColour() { return bar()->palette().color(QPalette::Window); }
};

TEST_F(LayoutTest, FirstShowingInPixelsAndAClickWithoutPanels) {
    start();
    EXPECT_EQ(twips("lstSignatures(0)"), (shell::TwipsRect{5167, 735, 5138, 5505}));
    // Applied at 15 twips per pixel.
    EXPECT_EQ(child<QWidget>("treeCatalogue")->geometry(), QRect(0, 24, 340, 392));
    EXPECT_EQ(child<QWidget>("StatusBar1")->geometry(), QRect(0, 416, 685, 21));
    EXPECT_EQ(window->gridColumnWidths(0), (std::array<std::int32_t, 4>{856, 856, 856, 2568}));

    QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856) << "the template's columns stay";
}

TEST_F(LayoutTest, ClickOnTheBarLaysOutEveryPanelAndItsColumns) {
    start();
    addVolumes();
    QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(twips("treeCatalogue").width, 5137 - 15);
    for (const char* label : {"lblVolume(0)", "lblVolume(1)", "lblVolume(2)"}) {
        EXPECT_EQ(twips(label).left, 5137 + 45) << label;
    }
    EXPECT_EQ(twips("lblVolume(2)").width, 10275 - 5137 - 75);
    EXPECT_EQ(twips("lbllblVolume(2)").top, 480);
    const std::int32_t c = (10275 - 5137 - 75) / 6;
    EXPECT_EQ(window->gridColumnWidths(1), (std::array<std::int32_t, 4>{c, c, c, 3 * c}));
    EXPECT_EQ(window->gridColumnWidths(2), window->gridColumnWidths(1));
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856);

    window->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(twips("lstSignatures(1)").width, 1000 * 15 - 5137);
    for (QSize size : {QSize(1000, 700), QSize(200, 120)}) {
        window->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(twips("lstSignatures(1)"), twips("lstSignatures(0)"));
        for (const char* hidden : {"lstServeurs", "lstConnections", "lstDrives", "picUp"}) {
            EXPECT_FALSE(child<QWidget>(hidden)->isVisible()) << hidden << " never shows";
        }
    }
}

TEST_F(LayoutTest, DragMovesTheGreyBarAloneUntilReleasedAndTheLastPlaceIsSaved) {
    start();
    addVolumes();
    const shell::TwipsRect tree = twips("treeCatalogue");
    QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    move(21, Qt::LeftButton); // 315 twips
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315);
    EXPECT_EQ(twips("treeCatalogue"), tree);
    EXPECT_EQ(barColour(), QColor(128, 128, 128));
    move(5, Qt::LeftButton | Qt::RightButton);
    move(5, Qt::NoButton);
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315) << "only the left button alone drags";

    QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(twips("treeCatalogue").width, 5452 - 15);
    EXPECT_EQ(twips("lblVolume(1)").left, 5452 + 45);
    EXPECT_NE(barColour(), QColor(128, 128, 128));

    window->resize(800, 500);
    QApplication::processEvents();
    EXPECT_EQ(twips("SizeBarV").left, 5137) << "the layout returns the bar to its start place";
    EXPECT_EQ(twips("lblVolume(1)").left, 5167);

    QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    move(-342, Qt::LeftButton); // to the left edge: 7 twips
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(twips("treeCatalogue").width, 5107) << "a negative width is refused";
    EXPECT_EQ(twips("lblVolume(1)").left, 52);
    window->close();
    EXPECT_EQ(setting("Positions", "SizeBarVLeft"), "7");
}

} // namespace
} // namespace lantrivex::ui::test
