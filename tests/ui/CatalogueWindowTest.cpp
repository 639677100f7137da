// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue in the window: first activation, refreshes, product commands, drives dialog.

#include "WindowFixture.h"
#include "ui/FrmConnecter.h"

#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <functional>

namespace lantrivex::ui::test {
namespace {

constexpr const char* kMacFileVolumes =
    R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

class CatalogueWindowTest : public WindowTest {
protected:
    CatalogueWindowTest() {
        connections.add("f:", R"(\\NTSRV1\D$)");
        connections.add("", R"(\\NTSRV1\E$)");
        connections.add("G:", R"(\\NTSRV2\pub)");
        registry.setString("NTSRV1", R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)",
                           "ServerName", "MACSRV");
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing",
                                {"Properties=1", R"(Path=D:\Mac\Publishing)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Archives", {R"(Path=E:\Mac\Archives)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Gone", {R"(Path=E:\Gone)"});
        registry.setString("NTSRV2", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "CYANSRV");
        registry.setMultiString("NTSRV2", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "Studio",
                                {R"(Path=C:\Studio)"});
        for (const char* folder : {kVolumeA, kVolumeB, R"(\\NTSRV2\C$\Studio)"}) {
            folders.addFolder(folder);
        }
        putIndex(kVolumeA, {{"XDOCXPR3", 7}, {"W6BNMSWD", 1}});
        drives.add(R"(C:\)", platform::kDriveFixed);
        drives.add(R"(F:\)", platform::kDriveRemote);
        drives.add(R"(H:\)", platform::kDriveRemote);
    }

    const QStringList kSteps{"Looking NT servers...", "Looking Macintosh volumes..."};
};

TEST_F(CatalogueWindowTest, FirstActivationBuildsTheCatalogue) {
    start();
    EXPECT_EQ(window->statusDuringSteps, kSteps);
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_EQ(texts(window->lstDrives()), (QStringList{"F:\tNTSRV1\\D$", "G:\tNTSRV2\\pub"}));
    // Volumes sorted by name, panels in the registry's order; the missing folder has image 8.
    EXPECT_EQ(treeLines(), (QStringList{R"(NTSRV1 1 \D$ (F:); \E$ +)", "  MACSRV 2 +",
                                        "    Archives 3 2", "    Gone 8 3", "    Publishing 3 1",
                                        R"(NTSRV2 1 \pub (G:))", "WORKSTATION 1"}));
    QTreeWidgetItem* gone = node(R"(\\NTSRV1\E$\Gone)");
    EXPECT_EQ(gone->parent(), node("MACSRV (NTSRV1)"));
    EXPECT_EQ(gone->parent()->parent(), node(R"(NTSRV1\D$ (F:); \E$)"));
    EXPECT_FALSE(gone->icon(0).isNull());
    ASSERT_EQ(window->volumePanelCount(), 3);
    EXPECT_FALSE(window->volumePanelMade(1) || window->volumePanelMade(3));
    EXPECT_EQ(child<QWidget>("lblVolume(3)"), nullptr) << "a panel is made when first shown";
    clickNode(node(kVolumeA));
    EXPECT_TRUE(window->volumePanelMade(1));
    EXPECT_NE(child<QWidget>("lstSignatures(1)"), nullptr);
    EXPECT_EQ(window->lblVolume(3)->text(), "MACSRV - Gone");
    EXPECT_FALSE(window->lstSignatures(3)->isVisible());
}

TEST_F(CatalogueWindowTest, RefreshesRebuildAndDiscardTheResults) {
    start();
    clickNode(node(kVolumeA));
    connections.add("", R"(\\NTSRV3\x)");
    window->statusDuringSteps.clear();
    window->toolbarButton("Actualiser")->trigger();
    EXPECT_EQ(window->statusDuringSteps, kSteps);
    EXPECT_NE(node(R"(NTSRV3\x)"), nullptr);
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
    EXPECT_FALSE(window->lstSignatures(1)->isVisible());
    clickNode(node(kVolumeA));
    EXPECT_EQ(opens(kVolumeA), 2) << "read anew";
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");

    window->statusDuringSteps.clear(); // the menu's refresh leaves the status text
    child<QAction>("mnuActualiser")->trigger();
    EXPECT_EQ(window->rebuilds, 3);
    EXPECT_EQ(window->statusDuringSteps, (QStringList{kVolumeA, kVolumeA}));
    EXPECT_EQ(window->statusText(1), kVolumeA);
}

TEST_F(CatalogueWindowTest, AnotherProductIsWrittenAndRebuildsFromTheLastEnumeration) {
    start();
    child<QAction>("mnuMacFile")->trigger();
    EXPECT_TRUE(writes().empty()) << "the product already chosen";
    EXPECT_EQ(window->rebuilds, 1);
    connections.add("", R"(\\NTSRV9\x)");
    child<QAction>("mnuMacServerIP")->trigger();
    EXPECT_EQ(writes(), std::vector<std::string>{"Configuration/ServeurMac=1"});
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_FALSE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_EQ(treeLines(), (QStringList{R"(NTSRV1 1 \D$ (F:); \E$)", R"(NTSRV2 1 \pub (G:) +)",
                                        "  CYANSRV 2 +", "    Studio 3 1", "WORKSTATION 1"}));
    ASSERT_EQ(window->volumePanelCount(), 1);
    EXPECT_EQ(window->lblVolume(1)->text(), "CYANSRV - Studio");
}

// The command-line reader's catalogue lists these names in the same order (CliMainTest).
TEST_F(CatalogueWindowTest, EveryLevelSortsAsAReaderReadsLetterCaseAsideAccentsAmongTheirLetters) {
    for (const char* share : {R"(\\Zeta\x)", R"(\\apps\x)", R"(\\beta\x)"}) {
        connections.add("", share);
    }
    for (const char* name : {"zèbre", "Échos", "éditions", "Zoo"}) {
        registry.setMultiString("NTSRV1", kMacFileVolumes, name, {R"(Path=E:\Mac)"});
    }
    start();
    const auto texts = [](const QTreeWidgetItem* parent) {
        QStringList out;
        for (int i = 0; i < parent->childCount(); ++i) {
            out << parent->child(i)->text(0);
        }
        return out;
    };
    EXPECT_EQ(texts(window->treeCatalogue()->invisibleRootItem()),
              (QStringList{"apps", "beta", "NTSRV1", "NTSRV2", "WORKSTATION", "Zeta"}));
    EXPECT_EQ(texts(node("MACSRV (NTSRV1)")),
              (QStringList{"Archives", "Échos", "éditions", "Gone", "Publishing", "zèbre", "Zoo"}));
}

TEST_F(CatalogueWindowTest, TwoVolumesOfOneRootEachHaveTheirPanel) {
    registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing bis",
                            {R"(Path=D:\Mac\Publishing)"});
    start();
    EXPECT_EQ(treeLines().mid(4, 2), (QStringList{"    Publishing 3 1", "    Publishing bis 3 4"}));
    QTreeWidgetItem* bis = node("MACSRV (NTSRV1)")->child(3);
    EXPECT_EQ(bis->data(0, FrmLantrivex::KeyRole).toString(), kVolumeA);
    clickNode(bis);
    EXPECT_EQ(window->lbllblVolume(4)->text(), "Total: 8");
    EXPECT_TRUE(window->lstSignatures(4)->isVisible());
}

TEST_F(CatalogueWindowTest, DrivesDialogFromTheToolbarAndTheMenu) {
    start();
    const std::function<void()> commands[] = {[&] { window->Toolbar1_ButtonClick(2); },
                                              [&] { child<QAction>("mnuConnecter")->trigger(); }};
    for (const auto& command : commands) {
        command();
        const auto dialogs = window->findChildren<FrmConnecter*>();
        ASSERT_EQ(dialogs.size(), 1);
        FrmConnecter* dialog = dialogs.front();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(dialog->windowTitle(), "Lantrivex 1.0 - Display drives");
        EXPECT_EQ((QStringList{dialog->objectName(), dialog->cancelButton()->objectName(),
                               dialog->list()->objectName(), dialog->cancelButton()->text()}),
                  (QStringList{"frmConnecter", "cmdAnnuler", "lstDrives", "&Cancel"}));
        EXPECT_EQ(dialog->size(), QSize(316, 167)); // 4740 x 2505 twips
        dialog->grab();                             // the items painted with their tab stops
        EXPECT_EQ(texts(dialog->list()),
                  (QStringList{"C:\tLocal drive", "F:\tNTSRV1\\D$", "H:\tNetwork drive"}));
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window->findChildren<FrmConnecter*>().isEmpty()) << "discarded when closed";
    }
}

TEST_F(CatalogueWindowTest, DrivesDialogLinesUpTheSecondColumnWithinTheList) {
    const QString longPoint = "/srv/mounts/a-rather-long-mount-point/for-the-publishing-share";
    drives.drives.clear();
    drives.mountPoints = true;
    drives.add("/", platform::kDriveFixed);
    drives.add("/mnt", platform::kDriveCdRom);
    drives.add(longPoint.toStdString(), platform::kDriveRemote);
    FrmConnecter dialog(drives, {longPoint.toStdString() + "\tNTSRV1\\D$"}, kEnglish);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.grab();
    const QListWidget* list = dialog.list();
    const QFontMetrics metrics = list->fontMetrics();
    ASSERT_EQ(list->count(), 3);
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    const int column = dialog.secondColumnLeft();
    for (int row = 0; row < list->count(); ++row) {
        const QString second = list->item(row)->text().section('\t', 1);
        EXPECT_LT(metrics.horizontalAdvance(dialog.shownFirstText(row)), column) << row;
        EXPECT_LE(column + metrics.horizontalAdvance(second), list->viewport()->width()) << row;
        EXPECT_EQ(list->item(row)->toolTip(), list->item(row)->text());
    }
    EXPECT_EQ(dialog.shownFirstText(1), "/mnt") << "a text that fits its column is shown whole";
    const QString shortened = dialog.shownFirstText(2);
    EXPECT_TRUE(shortened.startsWith("/srv") && shortened.endsWith("share") &&
                shortened.contains(QChar(0x2026)))
        << shortened.toStdString();
}

} // namespace
} // namespace lantrivex::ui::test
