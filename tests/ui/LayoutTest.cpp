#include "WindowFixture.h"

#include <QLabel>
#include <QMouseEvent>

namespace lantrivex::ui::test {
namespace {

class LayoutTest : public WindowTest {
protected:
    shell::TwipsRect twips(const char* name) { return window->twipsGeometry(child<QWidget>(name)); }
    QWidget* bar() { return child<QWidget>("SizeBarV"); }
    void move(int x, Qt::MouseButtons buttons) { // to `x` pixels within the bar
        QMouseEvent event(QEvent::MouseMove, QPointF(x, 5), bar()->mapToGlobal(QPointF(x, 5)),
                          Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar(), &event);
    }
};

TEST_F(LayoutTest, PanelsFollowTheTemplateAndTheGreyBarDragLaysThemOutOnRelease) {
    start();
    // Applied at 15 twips per pixel.
    EXPECT_EQ(child<QWidget>("treeCatalogue")->geometry(), QRect(0, 24, 340, 392));
    EXPECT_EQ(child<QWidget>("StatusBar1")->geometry(), QRect(0, 416, 685, 21));
    EXPECT_EQ(window->gridColumnWidths(0), (std::array<std::int32_t, 4>{856, 856, 856, 2568}));
    addVolumes();
    window->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(twips("lstSignatures(1)").width, 15000 - 5137);
    EXPECT_EQ(twips("lstSignatures(1)"), twips("lstSignatures(0)"));

    const shell::TwipsRect tree = twips("treeCatalogue");
    QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    move(21, Qt::LeftButton); // 315 twips
    move(5, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(twips("SizeBarV").left, 5137 + 315) << "only the left button alone drags";
    EXPECT_EQ(twips("treeCatalogue"), tree);
    EXPECT_EQ(bar()->palette().color(QPalette::Window), QColor(128, 128, 128));

    QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_NE(bar()->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(twips("treeCatalogue").width, 5452 - 15);
    EXPECT_EQ(twips("lblVolume(2)").left, 5452 + 45);
    const std::int32_t c = (15000 - 5452 - 75) / 6;
    EXPECT_EQ(window->gridColumnWidths(2), (std::array<std::int32_t, 4>{c, c, c, 3 * c}));
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856) << "the template's columns stay";
    window->close();
    EXPECT_EQ(writes().back(), "Positions/SizeBarVLeft=5452");
}

TEST_F(LayoutTest, InASmallWindowTheTotalCoversTheTitleInsteadOfMixingWithIt) {
    putIndex(kVolumeA, {{"W6BNMSWD", 1766}});
    start();
    window->resize(420, 260);
    clickNode(addVolumes().first);
    QApplication::processEvents();
    QLabel* title = window->lblVolume(1);
    QLabel* total = window->lbllblVolume(1);
    ASSERT_EQ(total->text(), "Total: 1766");
    const QRect totalOnTitle = total->geometry().translated(-title->pos());
    ASSERT_TRUE(title->rect().intersects(totalOnTitle)) << "the two share the band here";
    // The title shows nothing where the total stands; the total shows whole, but for what lies
    // past the window's edge (a wide font).
    EXPECT_FALSE(title->visibleRegion().intersects(totalOnTitle));
    const QRect insideWindow =
        total->rect() & total->parentWidget()->rect().translated(-total->pos());
    EXPECT_EQ(total->visibleRegion(), QRegion(insideWindow));
    EXPECT_TRUE(title->autoFillBackground() && total->autoFillBackground());
}

} // namespace
} // namespace lantrivex::ui::test
