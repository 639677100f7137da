// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFixture.h"
#include "ui/VolumeTitleLabel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <cmath>
#include <cstdlib>

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
    // Panels are made when first asked for, with the template's geometry.
    EXPECT_EQ(child<QWidget>("lstSignatures(1)"), nullptr);
    EXPECT_EQ(window->twipsGeometry(window->lstSignatures(1)).width, 15000 - 5137);
    EXPECT_EQ(window->twipsGeometry(window->lstSignatures(1)), twips("lstSignatures(0)"));

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
    EXPECT_EQ(window->twipsGeometry(window->lblVolume(2)).left, 5452 + 45);
    const std::int32_t c = (15000 - 5452 - 75) / 6;
    EXPECT_EQ(window->gridColumnWidths(2), (std::array<std::int32_t, 4>{c, c, c, 3 * c}));
    EXPECT_EQ(window->gridColumnWidths(0)[0], 856) << "the template's columns stay";
    window->close();
    EXPECT_EQ(writes().back(), "Positions/SizeBarVLeft=5452");
}

// A volume of 55 characters with a seven-digit total, at three window sizes: the title's text never
// runs under the total; it stands centred when it has room, else right of the total, shortened
// with "…" when it still does not fit (the whole title its tooltip).
TEST_F(LayoutTest, TheTitleKeepsClearOfTheTotalAtEverySize) {
    const QString name = "Publications Marketing et Communication - Archives 1998";
    ASSERT_EQ(name.size(), 55);
    const std::string record("\x01W6BNMSWD\x00\x02\x00", 12);
    std::string index = "HDR";
    index.reserve(3 + record.size() * 1234567);
    for (int i = 0; i < 1234567; ++i) {
        index += record;
    }
    streams.addStream(kVolumeA, "AFP_IdIndex", std::move(index));
    start();
    QTreeWidgetItem* server =
        window->addTreeNode(window->treeCatalogue()->topLevelItem(0), "MACSRV (NTSRV1)", "MACSRV",
                            FrmLantrivex::kImageMacServer, {}, true);
    const int k = window->loadVolumePanel("MACSRV - " + name);
    clickNode(window->addTreeNode(server, kVolumeA, name, FrmLantrivex::kImageVolume, k));
    auto* title = qobject_cast<VolumeTitleLabel*>(window->lblVolume(k));
    QLabel* total = window->lbllblVolume(k);
    ASSERT_NE(title, nullptr);
    ASSERT_EQ(total->text(), "Total: 1234567");

    const struct {
        QSize size; // empty: the design size
        bool whole;
    } cases[] = {{{420, 260}, false}, {{}, false}, {{1600, 900}, true}};
    const QSize design = window->size();
    for (const auto& c : cases) {
        window->resize(c.size.isEmpty() ? design : c.size);
        QApplication::processEvents();
        const QString shown = title->shownText();
        const QRect totalOnTitle = total->geometry().translated(-title->pos());
        ASSERT_TRUE(title->rect().intersects(totalOnTitle)) << "the two share the band";
        EXPECT_FALSE(title->textRect().intersects(totalOnTitle)) << c.size.width();
        EXPECT_TRUE(title->textRect().isEmpty() || title->rect().contains(title->textRect()));
        EXPECT_EQ(shown == title->text(), c.whole) << shown.toStdString();
        if (c.whole) {
            EXPECT_LE(std::abs(title->textRect().center().x() - title->rect().center().x()), 1);
            EXPECT_EQ(title->toolTip(), "");
        } else {
            EXPECT_TRUE(shown.isEmpty() || (shown.endsWith(QChar(0x2026)) &&
                                            title->text().startsWith(shown.chopped(1))))
                << shown.toStdString();
            EXPECT_EQ(title->toolTip(), title->text());
        }
    }
    window->resize(design);
    QApplication::processEvents();
    EXPECT_GT(title->shownText().size(), 10) << "the default window shows most of the title";
}

// At first show the columns are one sixth, one sixth and one sixth of the grid's width, and
// "Type" the rest of its inner width (its half, less the frame and any scroll bar).
TEST_F(LayoutTest, GridColumnsFollowTheGridsWidthAtFirstShow) {
    putIndex(kVolumeA, {{"XDOCXPR3", 7}, {"W6BNMSWD", 1}});
    const struct {
        int width, height; // twips; 0: the design size
    } cases[] = {{0, 0}, {15000, 10500}};
    for (const auto& c : cases) {
        if (c.width > 0) {
            setting("Positions",
                    {{"Width", std::to_string(c.width)}, {"Height", std::to_string(c.height)}});
        }
        start();
        clickNode(addVolumes().first);
        for (int k : {0, 1}) {
            ResultGridView* grid = window->lstSignatures(k);
            const QHeaderView* header = grid->horizontalHeader();
            const int sixth = static_cast<int>(std::lround(window->gridColumnWidths(k)[0] / 15.0));
            EXPECT_EQ(window->gridColumnWidths(k)[0],
                      static_cast<std::int32_t>(window->twipsGeometry(grid).width) / 6);
            EXPECT_EQ((std::array{header->sectionSize(0), header->sectionSize(1),
                                  header->sectionSize(2), header->sectionSize(3)}),
                      (std::array{sixth, sixth, sixth, grid->viewport()->width() - 3 * sixth}))
                << c.width << " grid " << k;
            EXPECT_GE(header->sectionSize(3), 3 * sixth - grid->verticalScrollBar()->width() - 4);
        }
    }
}

TEST_F(LayoutTest, TabLeavesTheGridAndTheArrowsMoveWithinIt) {
    putIndex(kVolumeA, {{"XDOCXPR3", 7}, {"W6BNMSWD", 1}});
    start();
    clickNode(addVolumes().first);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ResultGridView* grid = window->lstSignatures(1);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Backtab, Qt::ShiftModifier}};
    for (const auto& k : keys) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        EXPECT_EQ(grid->currentIndex(), grid->model()->index(1, 1));
        ASSERT_TRUE(grid->hasFocus());
        QTest::keyClick(grid, k.key, k.modifiers);
        EXPECT_FALSE(grid->hasFocus()) << k.key;
        EXPECT_NE(QApplication::focusWidget(), nullptr);
    }
}

} // namespace
} // namespace lantrivex::ui::test
