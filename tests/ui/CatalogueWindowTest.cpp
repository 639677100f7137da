// The catalogue in the window: first activation, refreshes, product commands, drives dialog.

#include "WindowFixture.h"
#include "ui/FrmConnecter.h"

#include <QPushButton>

namespace lantrivex::ui::test {
namespace {

constexpr const char* kMacFileVolumes =
    R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";
constexpr const char* kGone = R"(\\NTSRV1\E$\Gone)";

class CatalogueWindowTest : public WindowTest {
protected:
    CatalogueWindowTest() {
        network.add("f:", R"(\\NTSRV1\D$)");
        network.add("", R"(\\NTSRV1\E$)");
        network.add("G:", R"(\\NTSRV2\pub)");
        registry.setString("NTSRV1", R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)",
                           "ServerName", "MACSRV");
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing",
                                {"Properties=1", R"(Path=D:\Mac\Publishing)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Archives", {R"(Path=E:\Mac\Archives)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Gone", {R"(Path=E:\Gone)"});
        registry.setString("NTSRV2", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "CYANSRV");
        registry.setMultiString("NTSRV2", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "Studio",
                                {R"(Path=C:\Studio)"});
        folders.addFolder(kVolumeA);
        folders.addFolder(kVolumeB);
        folders.addFolder(R"(\\NTSRV2\C$\Studio)");
        putIndex(kVolumeA, indexStream({{"XDOCXPR3", 7}, {"W6BNMSWD", 1}}));
        driveList.add(R"(C:\)", platform::kDriveFixed);
        driveList.add(R"(F:\)", platform::kDriveRemote);
        driveList.add(R"(H:\)", platform::kDriveRemote);
    }

    const QStringList kSteps{"Looking NT servers...", "Looking Macintosh volumes..."};
};

TEST_F(CatalogueWindowTest, FirstActivationBuildsTheCatalogue) {
    start();
    EXPECT_EQ(window->statusDuringSteps, kSteps);
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_EQ(texts(window->lstServeurs()), (QStringList{"WORKSTATION", "NTSRV1", "NTSRV2"}));
    EXPECT_EQ(texts(window->lstConnections()),
              (QStringList{"", R"(\D$ (F:); \E$)", R"(\pub (G:))"}));
    EXPECT_EQ(texts(window->lstDrives()), (QStringList{"F:\tNTSRV1\\D$", "G:\tNTSRV2\\pub"}));
    // Volumes sorted by name, panels in the registry's order; the missing folder has image 8.
    EXPECT_EQ(treeLines(), (QStringList{R"(NTSRV1 1 \D$ (F:); \E$ +)", "  MACSRV 2 +",
                                        "    Archives 3 2", "    Gone 8 3", "    Publishing 3 1",
                                        R"(NTSRV2 1 \pub (G:))", "WORKSTATION 1"}));
    EXPECT_EQ(node(R"(NTSRV1\D$ (F:); \E$)")->text(0), "NTSRV1");
    EXPECT_EQ(node("MACSRV (NTSRV1)"), node(kGone)->parent());
    EXPECT_EQ(tag(node(kVolumeB)), 2);
    EXPECT_FALSE(node(kVolumeA)->icon(0).isNull());
    ASSERT_EQ(window->volumePanelCount(), 3);
    EXPECT_EQ(window->lblVolume(3)->text(), "MACSRV - Gone");
    EXPECT_EQ(window->treeCatalogue()->selectedItems().size(), 0);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_FALSE(window->lstSignatures(k)->isVisible()) << k;
    }
}

TEST_F(CatalogueWindowTest, RefreshesRebuildAndDiscardTheResults) {
    start();
    clickNode(node(kVolumeA));
    ASSERT_EQ(opens(kVolumeA), 1);
    network.add("", R"(\\NTSRV3\x)");
    window->statusDuringSteps.clear();

    window->toolbarButton("Actualiser")->trigger();
    EXPECT_EQ(window->enumerations, 2);
    EXPECT_EQ(window->statusDuringSteps, kSteps);
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_NE(node(R"(NTSRV3\x)"), nullptr);
    ASSERT_EQ(window->volumePanelCount(), 3);
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
    EXPECT_EQ(window->gridModel(1)->rowCount(), 0);
    EXPECT_FALSE(window->lstSignatures(1)->isVisible());
    clickNode(node(kVolumeA));
    EXPECT_EQ(opens(kVolumeA), 2) << "read anew";
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");

    // The menu's refresh leaves the status text.
    window->statusDuringSteps.clear();
    child<QAction>("mnuActualiser")->trigger();
    EXPECT_EQ(window->enumerations, 3);
    EXPECT_EQ(window->rebuilds, 3);
    EXPECT_EQ(window->statusDuringSteps, (QStringList{kVolumeA, kVolumeA}));
    EXPECT_EQ(window->statusText(1), kVolumeA);
}

TEST_F(CatalogueWindowTest, AnotherProductIsWrittenAndRebuildsFromTheLastEnumeration) {
    start();
    QAction* macFile = child<QAction>("mnuMacFile");
    QAction* cyan = child<QAction>("mnuMacServerIP");
    macFile->trigger();
    EXPECT_TRUE(writes().empty()) << "the product already chosen";
    EXPECT_EQ(window->rebuilds, 1);
    EXPECT_TRUE(macFile->isChecked());

    network.add("", R"(\\NTSRV9\x)");
    cyan->trigger();
    EXPECT_EQ(writes(), std::vector<std::string>{"Configuration/ServeurMac=1"});
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_EQ(node(R"(NTSRV9\x)"), nullptr);
    EXPECT_TRUE(cyan->isChecked());
    EXPECT_FALSE(macFile->isChecked());
    EXPECT_EQ(treeLines(), (QStringList{R"(NTSRV1 1 \D$ (F:); \E$)", R"(NTSRV2 1 \pub (G:) +)",
                                        "  CYANSRV 2 +", "    Studio 3 1", "WORKSTATION 1"}));
    ASSERT_EQ(window->volumePanelCount(), 1);
    EXPECT_EQ(window->lblVolume(1)->text(), "CYANSRV - Studio");
}

TEST_F(CatalogueWindowTest, TwoVolumesOfOneRootEachHaveTheirPanel) {
    registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing bis",
                            {R"(Path=D:\Mac\Publishing)"});
    start();
    EXPECT_EQ(treeLines().mid(1),
              (QStringList{"  MACSRV 2 +", "    Archives 3 2", "    Gone 8 3", "    Publishing 3 1",
                           "    Publishing bis 3 4", R"(NTSRV2 1 \pub (G:))", "WORKSTATION 1"}));
    QTreeWidgetItem* bis = node("MACSRV (NTSRV1)")->child(3);
    EXPECT_EQ(bis->data(0, FrmLantrivex::KeyRole).toString(), kVolumeA);
    clickNode(bis);
    EXPECT_EQ(window->lbllblVolume(4)->text(), "Total: 8");
    EXPECT_TRUE(window->lstSignatures(4)->isVisible());
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
}

TEST_F(CatalogueWindowTest, DrivesDialogFromTheToolbarAndTheMenu) {
    start();
    const auto openedDialog = [&]() -> FrmConnecter* {
        const auto dialogs = window->findChildren<FrmConnecter*>();
        return dialogs.size() == 1 ? dialogs.front() : nullptr;
    };
    const auto close = [&](FrmConnecter* dialog) {
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        EXPECT_EQ(openedDialog(), nullptr) << "discarded when closed";
    };

    window->Toolbar1_ButtonClick(2);
    FrmConnecter* dialog = openedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->objectName(), "frmConnecter");
    EXPECT_EQ(dialog->windowTitle(), "Lantrivex 1.0 - Display drives");
    EXPECT_EQ(dialog->cancelButton()->objectName(), "cmdAnnuler");
    EXPECT_EQ(dialog->cancelButton()->text(), "&Cancel");
    EXPECT_EQ(dialog->list()->objectName(), "lstDrives");
    // 15 twips to the pixel: inner area 4740 x 2505, list 120,120,4455,1815, button
    // 1680,2040,1335,375.
    EXPECT_EQ(dialog->size(), QSize(316, 167));
    EXPECT_EQ(dialog->list()->geometry(), QRect(8, 8, 297, 121));
    EXPECT_EQ(dialog->cancelButton()->geometry(), QRect(112, 136, 89, 25));
    dialog->grab(); // the items painted with their tab stops
    EXPECT_EQ(texts(dialog->list()),
              (QStringList{"C:\tLocal drive", "F:\tNTSRV1\\D$", "H:\tNetwork drive"}))
        << "the drive lines of the last refresh";
    close(dialog);
    // Activated again: nothing is reloaded or rebuilt.
    window->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(window->rebuilds, 1);
    EXPECT_EQ(window->enumerations, 1);

    window->mnuFrancais_Click();
    child<QAction>("mnuConnecter")->trigger();
    dialog = openedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Lantrivex 1.0 - Afficher les lecteurs");
    EXPECT_EQ(dialog->cancelButton()->text(), "&Annuler");
    EXPECT_EQ(texts(dialog->list()).last(), QString::fromUtf8("H:\tLecteur réseau"));
    close(dialog);
}

} // namespace
} // namespace lantrivex::ui::test
