#include "WindowFixture.h"
#include "ui/Images.h"

#include <QListWidget>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

namespace lantrivex::ui::test {
namespace {

using CompositionTest = WindowTest;

TEST_F(CompositionTest, EveryControlUnderItsName) {
    ASSERT_TRUE(load());
    EXPECT_EQ(window->objectName(), "frmLantrivex");
    for (const char* name :
         {"Toolbar1", "treeCatalogue", "SizeBarV", "lblVolume(0)", "lbllblVolume(0)",
          "lstSignatures(0)", "StatusBar1", "lstServeurs", "lstConnections", "lstDrives", "picUp",
          "picDown", "Picture1", "Picture2"}) {
        EXPECT_NE(child<QWidget>(name), nullptr) << name;
    }
    EXPECT_NE(child<QListWidget>("lstServeurs"), nullptr);
    EXPECT_EQ(child<QListWidget>("lstServeurs"), window->lstServeurs());
    EXPECT_EQ(child<QTreeWidget>("treeCatalogue"), window->treeCatalogue());
    EXPECT_EQ(child<QLabel>("lbllblVolume(0)")->text(), "123");
    EXPECT_EQ(window->volumePanelCount(), 0);
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("lstServeurs")),
              (shell::TwipsRect{9000, 1440, 1095, 840}));
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("picUp")),
              (shell::TwipsRect{480, 4680, 210, 195}));
}

TEST_F(CompositionTest, OnlyToolbarTreeBarAndStatusBarShowBeforeTheCatalogue) {
    // As created, before the first activation prepares the template.
    ASSERT_TRUE(load());
    for (const char* shown : {"Toolbar1", "treeCatalogue", "SizeBarV", "StatusBar1"}) {
        EXPECT_FALSE(child<QWidget>(shown)->isHidden()) << shown;
    }
    for (const char* hidden :
         {"lblVolume(0)", "lbllblVolume(0)", "lstSignatures(0)", "lstServeurs", "lstConnections",
          "lstDrives", "picUp", "picDown", "Picture1", "Picture2"}) {
        EXPECT_TRUE(child<QWidget>(hidden)->isHidden()) << hidden;
    }
}

TEST_F(CompositionTest, WorkingListsNeverShowWhateverTheSize) {
    start();
    addVolumes();
    for (QSize size : {QSize(1200, 900), QSize(200, 120), QSize(685, 460)}) {
        window->resize(size);
        QApplication::processEvents();
        for (const char* hidden : {"lstServeurs", "lstConnections", "lstDrives", "picUp"}) {
            EXPECT_FALSE(child<QWidget>(hidden)->isVisible()) << hidden;
        }
    }
}

TEST_F(CompositionTest, MenuTreeWithDesignCaptionsAndShortcuts) {
    ASSERT_TRUE(load());
    QStringList top;
    for (QAction* a : window->menuBar()->actions()) {
        top << a->objectName() + "=" + a->text();
    }
    EXPECT_EQ(
        top, (QStringList{"mnuFichier=&Fichier", "mnuConfiguration=&Configuration",
                          "mnuServeurMac=Serveur Macintosh", "mnuLangue=&Language", "mnuHelp=&?"}));
    QStringList fichier;
    for (QAction* a : child<QMenu>("mnuFichier")->actions()) {
        fichier << (a->isSeparator() ? a->objectName() + "=-" : a->objectName() + "=" + a->text());
    }
    EXPECT_EQ(fichier,
              (QStringList{"mnuActualiser=&Actualiser", "mnuConnecter=&Afficher les lecteurs",
                           "Sep11=-", "mnuQuitter=&Quitter"}));
    EXPECT_EQ(child<QAction>("mnuActualiser")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(child<QAction>("mnuGestionSignatures")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(child<QAction>("mnuAbout")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(child<QAction>("mnuGestionSignatures")->text(), "Gestion des &signatures");
    EXPECT_EQ(child<QAction>("mnuFrancais")->text(), QString::fromUtf8("&Français"));

    // The product menu is out of reach; its items carry the product's check mark.
    EXPECT_FALSE(child<QMenu>("mnuServeurMac")->menuAction()->isEnabled());
    EXPECT_TRUE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuMacServerIP")->isChecked());
}

TEST_F(CompositionTest, ToolbarButtonsByKeyAndStatusBarPanels) {
    ASSERT_TRUE(load());
    QAction* refresh = window->toolbarButton("Actualiser");
    QAction* drives = window->toolbarButton("Lecteurs");
    ASSERT_NE(refresh, nullptr);
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(child<QToolBar>("Toolbar1")->actions(), (QList<QAction*>{refresh, drives}));
    EXPECT_FALSE(refresh->icon().isNull());
    EXPECT_EQ(window->toolbarButton("Other"), nullptr);

    for (int i = 1; i <= 3; ++i) {
        EXPECT_NE(child<QWidget>(QStringLiteral("StatusBar1.Panels(%1)").arg(i)), nullptr);
    }
    EXPECT_TRUE(window->statusPictureShown(2));
}

TEST_F(CompositionTest, ShortcutsWorkFromAnywhereInTheWindow) {
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy signatures(window.get(), &FrmLantrivex::signatureManagerRequested);
    QSignalSpy about(window.get(), &FrmLantrivex::aboutRequested);
    const int rebuilds = window->rebuilds;

    window->treeCatalogue()->setFocus();
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F3);
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F1);
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F5);
    EXPECT_EQ(signatures.count(), 1);
    EXPECT_EQ(about.count(), 1);
    EXPECT_EQ(window->rebuilds, rebuilds + 1);
}

TEST(Images, SizesOfEveryPicture) {
    EXPECT_EQ(programIcon().size(), QSize(32, 32));
    for (int n = 1; n <= 8; ++n) {
        const QImage image = treeImage(n).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16)) << n;
        int painted = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                painted += qAlpha(image.pixel(x, y)) != 0 ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 40) << "image " << n << " is drawn";
    }
    EXPECT_TRUE(treeImage(0).isNull());
    EXPECT_TRUE(treeImage(9).isNull());
    EXPECT_EQ(toolbarImage(1).size(), QSize(16, 16));
    EXPECT_EQ(toolbarImage(2).size(), QSize(16, 16));
    EXPECT_EQ(toolbarImage(3).size(), QSize(15, 16));
    EXPECT_EQ(upArrow().size(), QSize(10, 9));
    EXPECT_EQ(downArrow().size(), QSize(10, 9));
    EXPECT_NE(upArrow().toImage(), downArrow().toImage());
    EXPECT_NE(treeImage(3).toImage(), treeImage(8).toImage());
}

} // namespace
} // namespace lantrivex::ui::test
