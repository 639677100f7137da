// The catalogue in the window: first activation, refreshes, product commands, drives dialog.

#include "WindowFixture.h"
#include "ui/FrmConnecter.h"

#include <QListWidget>
#include <QPushButton>

namespace lantrivex::ui::test {
namespace {

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kMacFileVolumes =
    R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";
constexpr const char* kCyan = R"(SOFTWARE\cyan\MacServerIP)";
constexpr const char* kCyanVolumes = R"(SOFTWARE\cyan\MacServerIP\Volumes)";
constexpr const char* kGone = R"(\\NTSRV1\E$\Gone)";

class CatalogueWindowTest : public WindowTest {
protected:
    CatalogueWindowTest() {
        network.add("f:", R"(\\NTSRV1\D$)");
        network.add("", R"(\\NTSRV1\E$)");
        network.add("G:", R"(\\NTSRV2\pub)");
        registry.setString("NTSRV1", kMacFile, "ServerName", "MACSRV");
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing",
                                {"Properties=1", R"(Path=D:\Mac\Publishing)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Archives", {R"(Path=E:\Mac\Archives)"});
        registry.setMultiString("NTSRV1", kMacFileVolumes, "Gone", {R"(Path=E:\Gone)"});
        registry.setString("NTSRV2", kCyan, "ServerName", "CYANSRV");
        registry.setMultiString("NTSRV2", kCyanVolumes, "Studio", {R"(Path=C:\Studio)"});
        folders.addFolder(kVolumeA);
        folders.addFolder(kVolumeB);
        folders.addFolder(R"(\\NTSRV2\C$\Studio)");
        putIndex(kVolumeA, indexStream({{"XDOCXPR3", 7}, {"W6BNMSWD", 1}}));
        driveList.add(R"(C:\)", platform::kDriveFixed);
        driveList.add(R"(F:\)", platform::kDriveRemote);
        driveList.add(R"(H:\)", platform::kDriveRemote);
    }

    QStringList items(QListWidget* list) const {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->item(i)->text();
        }
        return out;
    }
    QStringList childTexts(QTreeWidgetItem* node) const {
        QStringList out;
        for (int i = 0; i < node->childCount(); ++i) {
            out << node->child(i)->text(0);
        }
        return out;
    }
    QTreeWidgetItem* node(const QString& key) const { return window->findTreeNode(key); }
    int image(QTreeWidgetItem* n) const { return n->data(0, FrmLantrivex::ImageRole).toInt(); }
    int tag(QTreeWidgetItem* n) const { return n->data(0, FrmLantrivex::TagRole).toInt(); }
};

TEST_F(CatalogueWindowTest, FirstActivationBuildsTheCatalogue) {
    start();
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Looking NT servers...", "Looking Macintosh volumes..."}));
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_EQ(items(window->lstServeurs()), (QStringList{"WORKSTATION", "NTSRV1", "NTSRV2"}));
    EXPECT_EQ(items(window->lstConnections()),
              (QStringList{"", R"(\D$ (F:); \E$)", R"(\pub (G:))"}));
    EXPECT_EQ(items(window->lstDrives()), (QStringList{"F:\tNTSRV1\\D$", "G:\tNTSRV2\\pub"}));

    QTreeWidgetItem* machine = node(R"(NTSRV1\D$ (F:); \E$)");
    ASSERT_NE(machine, nullptr);
    EXPECT_EQ(machine->text(0), "NTSRV1");
    EXPECT_EQ(image(machine), FrmLantrivex::kImageMachine);
    EXPECT_EQ(machine->data(0, FrmLantrivex::TagRole).toString(), R"(\D$ (F:); \E$)");
    EXPECT_TRUE(machine->isExpanded());
    QTreeWidgetItem* server = node("MACSRV (NTSRV1)");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->parent(), machine);
    EXPECT_EQ(image(server), FrmLantrivex::kImageMacServer);
    EXPECT_TRUE(server->isExpanded());
    // Sorted by name; panels in the registry's order; the missing folder has image 8.
    EXPECT_EQ(childTexts(server), (QStringList{"Archives", "Gone", "Publishing"}));
    EXPECT_EQ(tag(node(kVolumeA)), 1);
    EXPECT_EQ(tag(node(kVolumeB)), 2);
    EXPECT_EQ(tag(node(kGone)), 3);
    EXPECT_EQ(image(node(kVolumeA)), FrmLantrivex::kImageVolume);
    EXPECT_EQ(image(node(kGone)), FrmLantrivex::kImageVolumeMissing);
    EXPECT_FALSE(node(kVolumeA)->isExpanded());
    ASSERT_EQ(window->volumePanelCount(), 3);
    EXPECT_EQ(window->lblVolume(1)->text(), "MACSRV - Publishing");
    EXPECT_EQ(window->lblVolume(3)->text(), "MACSRV - Gone");
    // This computer and NTSRV2 (another product) are leaves.
    EXPECT_EQ(node("WORKSTATION")->childCount(), 0);
    EXPECT_EQ(node(R"(NTSRV2\pub (G:))")->childCount(), 0);
    // Nothing selected, no panel shown.
    EXPECT_EQ(window->treeCatalogue()->selectedItems().size(), 0);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_FALSE(window->lstSignatures(k)->isVisible()) << k;
    }
}

TEST_F(CatalogueWindowTest, ClickingVolumesAnalysesOnlyFoundOnes) {
    start();
    clickNode(node(kVolumeA));
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");
    EXPECT_EQ(column(1, 0), (QStringList{"7", "1"}));
    EXPECT_TRUE(window->lstSignatures(1)->isVisible());
    EXPECT_EQ(window->statusText(1), kVolumeA);

    clickNode(node(kGone));
    EXPECT_EQ(opens(kGone), 0);
    EXPECT_EQ(window->statusText(1), kGone);
    EXPECT_TRUE(window->lstSignatures(1)->isVisible()); // the panel shown so far stays
}

TEST_F(CatalogueWindowTest, ToolbarRefreshRebuildsAndDiscardsResults) {
    start();
    clickNode(node(kVolumeA));
    ASSERT_EQ(opens(kVolumeA), 1);
    network.add("", R"(\\NTSRV3\x)");
    window->statusDuringSteps.clear();

    window->Toolbar1_ButtonClick(1);
    EXPECT_EQ(window->enumerations, 2);
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Looking NT servers...", "Looking Macintosh volumes..."}));
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_NE(node(R"(NTSRV3\x)"), nullptr);
    ASSERT_EQ(window->volumePanelCount(), 3);
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
    EXPECT_EQ(window->gridModel(1)->rowCount(), 0);
    EXPECT_FALSE(window->lstSignatures(1)->isVisible());

    clickNode(node(kVolumeA)); // read anew
    EXPECT_EQ(opens(kVolumeA), 2);
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8");

    window->Toolbar1_ButtonClick(1);
    EXPECT_EQ(window->enumerations, 3);
    EXPECT_EQ(window->rebuilds, 3);
    EXPECT_EQ(window->statusText(1), "");
}

TEST_F(CatalogueWindowTest, MenuRefreshLeavesTheStatusText) {
    start();
    clickNode(node(kVolumeA));
    window->statusDuringSteps.clear();
    window->findChild<QAction*>("mnuActualiser")->trigger();
    EXPECT_EQ(window->enumerations, 2);
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->statusDuringSteps, (QStringList{kVolumeA, kVolumeA}));
    EXPECT_EQ(window->statusText(1), kVolumeA);
}

TEST_F(CatalogueWindowTest, ProductCommands) {
    start();
    QAction* macFile = window->findChild<QAction*>("mnuMacFile");
    QAction* cyan = window->findChild<QAction*>("mnuMacServerIP");
    ASSERT_TRUE(macFile && cyan);
    EXPECT_TRUE(macFile->isChecked());

    // The product already chosen: no write, no rebuild.
    macFile->trigger();
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(window->rebuilds, 1);
    EXPECT_TRUE(macFile->isChecked());

    // Another product: written at once, the tree rebuilt from the last enumeration's machines.
    network.add("", R"(\\NTSRV9\x)");
    cyan->trigger();
    EXPECT_EQ(writes(), std::vector<std::string>{"Configuration/ServeurMac=1"});
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_EQ(node(R"(NTSRV9\x)"), nullptr);
    EXPECT_TRUE(cyan->isChecked());
    EXPECT_FALSE(macFile->isChecked());
    EXPECT_EQ(node("MACSRV (NTSRV1)"), nullptr);
    ASSERT_NE(node("CYANSRV (NTSRV2)"), nullptr);
    EXPECT_EQ(window->volumePanelCount(), 1);
    EXPECT_EQ(window->lblVolume(1)->text(), "CYANSRV - Studio");

    // The product menu is out of the user's reach.
    QAction* menu = window->findChild<QMenu*>("mnuServeurMac")->menuAction();
    EXPECT_FALSE(menu->isVisible() && menu->isEnabled());
}

TEST_F(CatalogueWindowTest, TwoVolumesOfOneRootEachHaveTheirPanel) {
    registry.setMultiString("NTSRV1", kMacFileVolumes, "Publishing bis",
                            {R"(Path=D:\Mac\Publishing)"});
    start();
    QTreeWidgetItem* server = node("MACSRV (NTSRV1)");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(childTexts(server),
              (QStringList{"Archives", "Gone", "Publishing", "Publishing bis"}));
    ASSERT_EQ(window->volumePanelCount(), 4);
    QTreeWidgetItem* bis = server->child(3);
    EXPECT_EQ(bis->data(0, FrmLantrivex::KeyRole).toString(), kVolumeA);
    EXPECT_EQ(tag(bis), 4);
    clickNode(bis);
    EXPECT_EQ(window->lbllblVolume(4)->text(), "Total: 8");
    EXPECT_TRUE(window->lstSignatures(4)->isVisible());
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 0");
}

TEST_F(CatalogueWindowTest, SettingOutOfRangeActsAsMacFile) {
    setting("Configuration", "ServeurMac", "5");
    start();
    EXPECT_TRUE(window->findChild<QAction*>("mnuMacFile")->isChecked());
    EXPECT_NE(node("MACSRV (NTSRV1)"), nullptr);
}

TEST_F(CatalogueWindowTest, DrivesDialogFromTheToolbarAndTheMenu) {
    start();
    // The dialog shown, modal, filled from the drive lines of the last refresh; closed with its
    // button and discarded.
    const auto openedDialog = [&]() -> FrmConnecter* {
        const auto dialogs = window->findChildren<FrmConnecter*>();
        return dialogs.size() == 1 ? dialogs.front() : nullptr;
    };
    const auto close = [&](FrmConnecter* dialog) {
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    };

    window->Toolbar1_ButtonClick(2);
    FrmConnecter* dialog = openedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->windowTitle(), "Lantrivex 1.0 - Display drives");
    EXPECT_EQ(items(dialog->list()),
              (QStringList{"C:\tLocal drive", "F:\tNTSRV1\\D$", "H:\tNetwork drive"}));
    close(dialog);
    EXPECT_EQ(openedDialog(), nullptr);

    // Closing it activates the window again: nothing is reloaded or rebuilt.
    window->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(window->rebuilds, 1);
    EXPECT_EQ(window->enumerations, 1);

    window->mnuFrancais_Click();
    window->findChild<QAction*>("mnuConnecter")->trigger();
    dialog = openedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Lantrivex 1.0 - Afficher les lecteurs");
    EXPECT_EQ(dialog->cancelButton()->text(), "&Annuler");
    EXPECT_EQ(items(dialog->list()).last(), QString::fromUtf8("H:\tLecteur réseau"));
    close(dialog);
    EXPECT_EQ(openedDialog(), nullptr);
}

} // namespace
} // namespace lantrivex::ui::test
