#include "WindowFixture.h"

#include <QClipboard>
#include <QLocale>

namespace lantrivex::ui::test {
namespace {

class AnalysisTest : public WindowTest {
protected:
    void SetUp() override {
        putIndex(kVolumeA, indexStream({{"W6BNMSWD", 1}, {"XDOCXPR3", 7}}));
        start();
        std::tie(volumeA, volumeB) = addVolumes();
    }

    QTreeWidgetItem* volumeA = nullptr;
    QTreeWidgetItem* volumeB = nullptr;
};

TEST_F(AnalysisTest, ClickOnAVolumeReadsItsIndexAndShowsItsPanel) {
    clickNode(volumeA);
    EXPECT_EQ(opens(kVolumeA), 1);
    EXPECT_EQ(window->statusText(1), kVolumeA);
    EXPECT_TRUE(window->lbllblVolume(1)->isVisible());
    EXPECT_TRUE(window->lstSignatures(1)->isVisible());
    EXPECT_FALSE(window->lstSignatures(0)->isVisible());
    EXPECT_FALSE(window->lstSignatures(2)->isVisible());
    EXPECT_EQ(window->lblVolume(1)->text(), "MACSRV - Publishing");
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");

    EXPECT_EQ(column(1, 0), (QStringList{"7", "1"}));
    EXPECT_EQ(column(1, 1), (QStringList{"87.5", "12.5"}));
    EXPECT_EQ(column(1, 2), (QStringList{"XDOCXPR3", "W6BNMSWD"}));
    EXPECT_EQ(column(1, 3), (QStringList{"QuarkXPress document", "Word 6 document"}))
        << "descriptions are found whatever their letter case";
    ResultGridModel* model = window->gridModel(1);
    QStringList headers;
    for (int c = 0; c < 4; ++c) {
        headers << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headers, (QStringList{"#", "%", "Signature", "Type"}));
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::Down);
    EXPECT_TRUE(model->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_TRUE(model->headerData(2, Qt::Horizontal, Qt::DecorationRole).isNull());
}

TEST_F(AnalysisTest, OtherNodesReadNothingAndASecondClickShowsTheKeptResult) {
    clickNode(volumeA);
    QTreeWidgetItem* server = volumeA->parent();
    clickNode(server);
    EXPECT_EQ(window->statusText(1), "MACSRV (NTSRV1)");
    EXPECT_TRUE(window->lstSignatures(1)->isVisible()) << "the panel shown so far stays";

    volumeB->setData(0, FrmLantrivex::ImageRole, FrmLantrivex::kImageVolumeMissing);
    clickNode(volumeB);
    EXPECT_EQ(window->statusText(1), kVolumeB);
    EXPECT_EQ(opens(kVolumeB), 0);
    EXPECT_TRUE(window->lstSignatures(1)->isVisible());
    EXPECT_TRUE(notifier.messages.empty());

    clickNode(volumeA);
    EXPECT_EQ(opens(kVolumeA), 1);
    EXPECT_EQ(column(1, 0), (QStringList{"7", "1"}));
}

TEST_F(AnalysisTest, UnknownIndexLeavesThePanelEmptyAndReadsAgainNextTime) {
    clickNode(volumeB); // no stream
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Unknown Macintosh volume index"}));
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::None);
    EXPECT_TRUE(window->lstSignatures(2)->isVisible());
    EXPECT_EQ(window->gridModel(2)->rowCount(), 0);
    EXPECT_EQ(window->lbllblVolume(2)->text(), "Total: 0");

    putIndex(kVolumeB, indexStream({{"APPLdosa", 3}}));
    clickNode(volumeA);
    clickNode(volumeB);
    EXPECT_EQ(opens(kVolumeB), 2);
    EXPECT_EQ(column(2, 1), (QStringList{"100"}));
    EXPECT_EQ(column(2, 3), (QStringList{""})) << "no description: an empty cell";
}

TEST_F(AnalysisTest, PercentWithTheLocaleSeparator) {
    putIndex(kVolumeB, indexStream({{"AAAAAAAA", 1}, {"BBBBBBBB", 1}, {"CCCCCCCC", 1}}));
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    clickNode(volumeB);
    clickNode(volumeA);
    QLocale::setDefault(previous);
    EXPECT_EQ(column(2, 1), (QStringList{"33,33", "33,33", "33,33"}));
    EXPECT_EQ(column(1, 1), (QStringList{"87,5", "12,5"}));
}

TEST_F(AnalysisTest, HeaderClicksSortAndMoveTheMarkOfTheirPanelOnly) {
    putIndex(kVolumeA,
             indexStream({{"ttxtTTXT", 2}, {"W6BNMSWD", 1}, {"XDOCXPR3", 7}, {"APPLdosa", 11}}));
    putIndex(kVolumeB, indexStream({{"AAAAAAAA", 1}}));
    clickNode(volumeA);
    ResultGridModel* model = window->gridModel(1);
    clickHeader(1, 2);
    EXPECT_EQ(column(1, 2), (QStringList{"APPLdosa", "W6BNMSWD", "XDOCXPR3", "ttxtTTXT"}));
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::Up);
    EXPECT_TRUE(model->headerEmphasis(2));
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::None);
    EXPECT_FALSE(model->headerEmphasis(0));
    clickHeader(1, 2);
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::Down);
    EXPECT_EQ(column(1, 2).first(), "ttxtTTXT");

    clickHeader(1, 1); // on the values: text order would put 4.76 after 33.33
    EXPECT_EQ(column(1, 1), (QStringList{"4.76", "9.52", "33.33", "52.38"}));
    clickHeader(1, 0);
    EXPECT_EQ(column(1, 0), (QStringList{"1", "2", "7", "11"}));

    // A click on a data row sorts nothing.
    QTableView* grid = window->lstSignatures(1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(model->index(1, 2)).center());
    EXPECT_EQ(column(1, 0), (QStringList{"1", "2", "7", "11"}));

    clickNode(volumeB);
    clickNode(volumeA);
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::Up);
    EXPECT_EQ(window->gridModel(2)->headerMark(0), ResultGridModel::SortMark::Down);
}

TEST_F(AnalysisTest, CopyPutsRowsOnTheClipboardAsTabSeparatedText) {
    clickNode(volumeA);
    ResultGridView* grid = window->lstSignatures(1);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "#\t%\tSignature\tType\r\n"
                                                 "7\t87.5\tXDOCXPR3\tQuarkXPress document\r\n"
                                                 "1\t12.5\tW6BNMSWD\tWord 6 document\r\n");

    grid->selectRow(1);
    std::unique_ptr<QMenu> menu(grid->createContextMenu(grid));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Copy");
    menu->actions()[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "#\t%\tSignature\tType\r\n1\t12.5\tW6BNMSWD\tWord 6 document\r\n");
    child<QAction>("mnuFrancais")->trigger();
    menu.reset(grid->createContextMenu(grid));
    EXPECT_EQ(menu->actions()[0]->text(), "Copier");
}

TEST_F(AnalysisTest, WaitTextAndEmptyTemplateWhileTheIndexIsRead) {
    QString status;
    bool templateShown = false;
    bool panelShown = true;
    streams.onOpen = [&] {
        status = window->statusText(1);
        templateShown = window->lstSignatures(0)->isVisible();
        panelShown = window->lstSignatures(1)->isVisible();
    };
    clickNode(volumeA);
    EXPECT_EQ(status, "Analyzing Macintosh volume index... Please wait...");
    EXPECT_TRUE(templateShown);
    EXPECT_FALSE(panelShown);
    EXPECT_EQ(window->statusText(1), kVolumeA);

    window->mnuFrancais_Click();
    clickNode(volumeB);
    EXPECT_EQ(status, "Analyse de l'index du volume Macintosh... Patientez...");
}

} // namespace
} // namespace lantrivex::ui::test
