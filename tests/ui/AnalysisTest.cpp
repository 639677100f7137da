#include "WindowFixture.h"

#include <QClipboard>
#include <QLocale>
#include <QMenu>

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
    EXPECT_EQ(streams.openedPaths.front(), kVolumeA);
    EXPECT_EQ(window->statusText(1), kVolumeA);
    EXPECT_EQ(window->statusText(2), "");
    EXPECT_FALSE(window->statusPictureShown(2));

    EXPECT_TRUE(window->lblVolume(1)->isVisible());
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
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::Down);
    EXPECT_TRUE(model->headerEmphasis(0));
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold(), true);
    EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_TRUE(model->headerData(2, Qt::Horizontal, Qt::DecorationRole).isNull());
    QStringList headers;
    for (int c = 0; c < 4; ++c) {
        headers << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headers, (QStringList{"#", "%", "Signature", "Type"}));
    EXPECT_EQ(model->data(model->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
}

TEST_F(AnalysisTest, SecondClickShowsTheKeptResultWithoutReading) {
    clickNode(volumeA);
    window->treeCatalogue()->clearSelection();
    clickNode(window->treeCatalogue()->topLevelItem(0));
    EXPECT_TRUE(window->lstSignatures(1)->isVisible()) << "a machine node leaves the panel shown";
    clickNode(volumeA);
    EXPECT_EQ(opens(kVolumeA), 1);
    EXPECT_EQ(column(1, 0), (QStringList{"7", "1"}));
    EXPECT_EQ(window->statusText(1), kVolumeA);
}

TEST_F(AnalysisTest, MachineServerAndMissingVolumeNodesReadNothing) {
    clickNode(volumeA);
    QTreeWidgetItem* machine = window->treeCatalogue()->topLevelItem(0);
    QTreeWidgetItem* server = machine->child(0);
    clickNode(server);
    EXPECT_EQ(window->statusText(1), "MACSRV (NTSRV1)");
    EXPECT_TRUE(window->lstSignatures(1)->isVisible());

    volumeB->setData(0, FrmLantrivex::ImageRole, FrmLantrivex::kImageVolumeMissing);
    clickNode(volumeB);
    EXPECT_EQ(window->statusText(1), kVolumeB);
    EXPECT_EQ(opens(kVolumeB), 0);
    EXPECT_TRUE(window->lstSignatures(1)->isVisible());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AnalysisTest, UnknownIndexLeavesThePanelEmptyAndReadsAgainNextTime) {
    clickNode(volumeB); // no stream
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Unknown Macintosh volume index"}));
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::None);
    EXPECT_TRUE(window->lstSignatures(2)->isVisible());
    EXPECT_EQ(window->gridModel(2)->rowCount(), 0);
    EXPECT_EQ(window->lbllblVolume(2)->text(), "Total: 0");
    EXPECT_EQ(window->statusText(1), kVolumeB);

    putIndex(kVolumeB, indexStream({{"APPLdosa", 3}}));
    clickNode(window->treeCatalogue()->topLevelItem(0));
    clickNode(volumeB);
    EXPECT_EQ(opens(kVolumeB), 2);
    EXPECT_EQ(column(2, 1), (QStringList{"100"}));
    EXPECT_EQ(column(2, 3), (QStringList{""})) << "no description: an empty cell";
}

TEST_F(AnalysisTest, ThreeEqualCountsAndTheLocaleSeparator) {
    putIndex(kVolumeB, indexStream({{"AAAAAAAA", 1}, {"BBBBBBBB", 1}, {"CCCCCCCC", 1}}));
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    clickNode(volumeB);
    clickNode(volumeA);
    QLocale::setDefault(previous);
    EXPECT_EQ(column(2, 1), (QStringList{"33,33", "33,33", "33,33"}));
    EXPECT_EQ(column(1, 1), (QStringList{"87,5", "12,5"}));
}

TEST_F(AnalysisTest, HeaderClicksSortAndMoveTheMark) {
    putIndex(kVolumeA,
             indexStream({{"ttxtTTXT", 2}, {"W6BNMSWD", 1}, {"XDOCXPR3", 7}, {"APPLdosa", 11}}));
    clickNode(volumeA);
    ResultGridModel* model = window->gridModel(1);
    EXPECT_EQ(column(1, 0), (QStringList{"11", "7", "2", "1"}));

    clickHeader(1, 2);
    EXPECT_EQ(column(1, 2), (QStringList{"APPLdosa", "W6BNMSWD", "XDOCXPR3", "ttxtTTXT"}))
        << "ascending, capitals before small letters";
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::Up);
    EXPECT_TRUE(model->headerEmphasis(2));
    EXPECT_EQ(model->headerMark(0), ResultGridModel::SortMark::None);
    EXPECT_FALSE(model->headerEmphasis(0));

    clickHeader(1, 2);
    EXPECT_EQ(column(1, 2), (QStringList{"ttxtTTXT", "XDOCXPR3", "W6BNMSWD", "APPLdosa"}));
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::Down);

    // "%" sorts on the values (text order would give 33.33, 4.76, 52.38, 9.52).
    clickHeader(1, 1);
    EXPECT_EQ(column(1, 1), (QStringList{"4.76", "9.52", "33.33", "52.38"}));
    EXPECT_EQ(model->headerMark(1), ResultGridModel::SortMark::Up);
    EXPECT_EQ(model->headerMark(2), ResultGridModel::SortMark::None);

    clickHeader(1, 0);
    EXPECT_EQ(column(1, 0), (QStringList{"1", "2", "7", "11"})) << "numeric, not 1, 11, 2, 7";
    clickHeader(1, 0);
    EXPECT_EQ(column(1, 0), (QStringList{"11", "7", "2", "1"}));

    clickHeader(1, 3);
    EXPECT_EQ(model->headerMark(3), ResultGridModel::SortMark::Up);
    EXPECT_EQ(column(1, 3).first(), "") << "empty descriptions first";

    // A click on a data row sorts nothing.
    const QStringList before = column(1, 2);
    QTableView* grid = window->lstSignatures(1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(model->index(1, 2)).center());
    EXPECT_EQ(column(1, 2), before);
}

TEST_F(AnalysisTest, SortMarksStayWithTheirPanel) {
    putIndex(kVolumeB, indexStream({{"AAAAAAAA", 1}}));
    clickNode(volumeA);
    clickHeader(1, 2);
    clickNode(volumeB);
    clickNode(volumeA);
    EXPECT_EQ(window->gridModel(1)->headerMark(2), ResultGridModel::SortMark::Up);
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
    QMenu* menu = grid->createContextMenu(grid);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Copy");
    menu->actions()[0]->trigger();
    delete menu;
    EXPECT_EQ(QApplication::clipboard()->text(),
              "#\t%\tSignature\tType\r\n1\t12.5\tW6BNMSWD\tWord 6 document\r\n");

    child<QAction>("mnuFrancais")->trigger();
    menu = grid->createContextMenu(grid);
    EXPECT_EQ(menu->actions()[0]->text(), "Copier");
    delete menu;
}

TEST_F(AnalysisTest, StatusTextsDuringTheAnalysis) {
    // The reader sees the wait text in the status bar and the empty template grid on screen.
    class PeekingStreams : public fakes::FakeNamedStreamReader {
    public:
        std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                                   std::string_view name) override {
            status = window->statusText(1);
            templateShown = window->lstSignatures(0)->isVisible();
            panelShown = window->lstSignatures(1)->isVisible();
            return fakes::FakeNamedStreamReader::open(path, name);
        }
        FrmLantrivex* window = nullptr;
        QString status;
        bool templateShown = false;
        bool panelShown = true;
    };
    PeekingStreams peeking;
    peeking.streams = streams.streams;
    peeking.window = window.get();
    platform::Platform other{peeking,  folders,  profile, version,   files,    location,
                             instance, registry, network, driveList, shellOpen};
    shell::AppState otherState;
    TestWindow french(other, notifier, otherState);
    setting("Configuration", "Langue", "1");
    ASSERT_TRUE(french.Form_Load());
    french.show();
    french.Form_Activate();
    peeking.window = &french;
    QTreeWidgetItem* machine = french.treeCatalogue()->topLevelItem(0);
    const int k = french.loadVolumePanel("MACSRV - Publishing");
    QTreeWidgetItem* node =
        french.addTreeNode(machine, kVolumeA, "Publishing", FrmLantrivex::kImageVolume, k);
    french.SelectCatalogueNode(node);
    EXPECT_EQ(peeking.status, "Analyse de l'index du volume Macintosh... Patientez...");
    EXPECT_TRUE(peeking.templateShown);
    EXPECT_FALSE(peeking.panelShown);
    EXPECT_EQ(french.statusText(1), kVolumeA);
}

TEST_F(AnalysisTest, RebuildDiscardsThePanelsAndTheirResults) {
    clickNode(volumeA);
    EXPECT_EQ(window->volumePanelCount(), 2);
    window->toolbarButton("Actualiser")->trigger();
    EXPECT_EQ(window->volumePanelCount(), 0);
    EXPECT_EQ(child<QWidget>("lstSignatures(1)"), nullptr);
    EXPECT_EQ(window->findTreeNode(kVolumeA), nullptr);
    EXPECT_TRUE(window->lblVolume(0) != nullptr);

    std::tie(volumeA, volumeB) = addVolumes();
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
    clickNode(volumeA);
    EXPECT_EQ(opens(kVolumeA), 2) << "read anew after the rebuild";
}

TEST_F(AnalysisTest, NodesCarryKeyTagAndImage) {
    EXPECT_EQ(window->findTreeNode(kVolumeA), volumeA);
    EXPECT_EQ(volumeA->data(0, FrmLantrivex::KeyRole).toString(), kVolumeA);
    EXPECT_EQ(volumeA->data(0, FrmLantrivex::TagRole).toInt(), 1);
    EXPECT_EQ(volumeB->data(0, FrmLantrivex::TagRole).toInt(), 2);
    EXPECT_EQ(volumeA->data(0, FrmLantrivex::ImageRole).toInt(), 3);
    QTreeWidgetItem* server = volumeA->parent();
    EXPECT_EQ(server->child(0), volumeB) << "children sorted by text: Archives first";
    EXPECT_TRUE(server->isExpanded());
    EXPECT_FALSE(volumeA->isExpanded());

    EXPECT_EQ(window->addTreeNode(server, kVolumeA, "Again", FrmLantrivex::kImageVolume, 3),
              nullptr)
        << "a key already in the tree";
    EXPECT_EQ(server->childCount(), 2);
    EXPECT_EQ(window->findTreeNode(kVolumeA), volumeA);
}

} // namespace
} // namespace lantrivex::ui::test
