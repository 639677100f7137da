// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFixture.h"

#include <QClipboard>
#include <QLocale>

namespace lantrivex::ui::test {
namespace {

class AnalysisTest : public WindowTest {
protected:
    void SetUp() override {
        putIndex(kVolumeA, {{"W6BNMSWD", 1}, {"XDOCXPR3", 7}});
        start();
        std::tie(volumeA, volumeB) = addVolumes();
    }
    void clickHeader(int k, int column) {
        QHeaderView* header = window->lstSignatures(k)->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 4, header->height() / 2});
    }

    QTreeWidgetItem* volumeA = nullptr;
    QTreeWidgetItem* volumeB = nullptr;
};

TEST_F(AnalysisTest, ClickOnAVolumeShowsItsPanelAndCopyTakesTheRows) {
    QString statusWhileReading;
    bool templateShownWhileReading = false;
    streams.onOpen = [&] {
        onWindowThread([&] {
            statusWhileReading = window->statusText(1);
            templateShownWhileReading = window->lstSignatures(0)->isVisible();
        });
    };
    clickNode(volumeA);
    EXPECT_EQ(statusWhileReading, "Analyzing Macintosh volume index... Please wait...");
    EXPECT_TRUE(templateShownWhileReading);
    EXPECT_EQ(opens(kVolumeA), 1);
    EXPECT_EQ(window->statusText(1), kVolumeA);
    EXPECT_TRUE(window->lbllblVolume(1)->isVisible() && window->lstSignatures(1)->isVisible());
    EXPECT_FALSE(window->lstSignatures(0)->isVisible() || window->lstSignatures(2)->isVisible());
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");
    ResultGridModel* model = window->gridModel(1);
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::Down);
    EXPECT_TRUE(model->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_TRUE(model->headerData(2, Qt::Horizontal, Qt::DecorationRole).isNull());

    ResultGridView* grid = window->lstSignatures(1);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "#\t%\tSignature\tType\r\n"
                                                 "7\t87.5\tXDOCXPR3\tQuarkXPress document\r\n"
                                                 "1\t12.5\tW6BNMSWD\tWord 6 document\r\n")
        << "descriptions are found whatever their letter case";
    grid->selectRow(1);
    std::unique_ptr<QMenu> menu(grid->createContextMenu(grid));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Copy");
    menu->actions()[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "#\t%\tSignature\tType\r\n1\t12.5\tW6BNMSWD\tWord 6 document\r\n");
}

TEST_F(AnalysisTest, OnlyVolumesWithTheirFolderAreReadAndAnUnknownIndexIsReadAgain) {
    clickNode(volumeA);
    clickNode(volumeA->parent());
    EXPECT_EQ(window->statusText(1), "MACSRV (NTSRV1)");
    volumeB->setData(0, FrmLantrivex::ImageRole, FrmLantrivex::kImageVolumeMissing);
    clickNode(volumeB);
    EXPECT_EQ(window->statusText(1), kVolumeB);
    EXPECT_EQ(opens(kVolumeB), 0);
    EXPECT_TRUE(window->lstSignatures(1)->isVisible()) << "the panel shown so far stays";

    volumeB->setData(0, FrmLantrivex::ImageRole, FrmLantrivex::kImageVolume);
    clickNode(volumeB); // no stream
    EXPECT_EQ(notifier.texts(),
              (std::vector<std::string>{"Unknown Macintosh volume index\r\nVolume: " +
                                        std::string(kVolumeB)})); // the volume named
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::None);
    EXPECT_TRUE(window->lstSignatures(2)->isVisible());
    EXPECT_EQ(window->lbllblVolume(2)->text(), "Total: 0");
    putIndex(kVolumeB, {{"APPLdosa", 3}});
    clickNode(volumeA);
    EXPECT_EQ(opens(kVolumeA), 1) << "a result is kept";
    clickNode(volumeB);
    EXPECT_EQ(column(2, 1), (QStringList{"100"})) << "read again";
    EXPECT_EQ(column(2, 3), (QStringList{""})) << "no description: an empty cell";
}

TEST_F(AnalysisTest, PercentWithTheLocaleSeparatorAndHeaderClicksSortTheirPanelOnly) {
    putIndex(kVolumeA, {{"ttxtTTXT", 2}, {"W6BNMSWD", 1}, {"XDOCXPR3", 7}, {"APPLdosa", 11}});
    putIndex(kVolumeB, {{"AAAAAAAA", 1}});
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    clickNode(volumeA);
    QLocale::setDefault(previous);
    ResultGridModel* model = window->gridModel(1);
    clickHeader(1, 2);
    EXPECT_EQ(column(1, 2), (QStringList{"APPLdosa", "W6BNMSWD", "XDOCXPR3", "ttxtTTXT"}));
    EXPECT_TRUE(model->headerMark(2) == ResultGridModel::SortMark::Up && model->headerEmphasis(2));
    EXPECT_TRUE(model->headerMark(0) == ResultGridModel::SortMark::None &&
                !model->headerEmphasis(0));
    clickHeader(1, 2);
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::Down);
    EXPECT_EQ(column(1, 2).first(), "ttxtTTXT");
    clickHeader(1, 1); // on the values: text order would put 4,76 after 33,33
    EXPECT_EQ(column(1, 1), (QStringList{"4,76", "9,52", "33,33", "52,38"}));
    clickHeader(1, 0);
    QTableView* grid = window->lstSignatures(1); // a click on a data row sorts nothing
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(model->index(1, 2)).center());
    EXPECT_EQ(column(1, 0), (QStringList{"1", "2", "7", "11"}));
    clickNode(volumeB);
    clickNode(volumeA);
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::Up);
    EXPECT_EQ(window->gridModel(2)->headerMark(0), ResultGridModel::SortMark::Down);
}

} // namespace
} // namespace lantrivex::ui::test
