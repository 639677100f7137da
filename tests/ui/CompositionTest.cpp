#include "WindowFixture.h"
#include "ui/Images.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>

namespace lantrivex::ui::test {
namespace {

using CompositionTest = WindowTest;

TEST_F(CompositionTest, ControlsUnderTheirNamesAndOnlyTheMainOnesShown) {
    ASSERT_TRUE(load());
    EXPECT_EQ(window->objectName(), "frmLantrivex");
    for (const char* shown : {"Toolbar1", "treeCatalogue", "SizeBarV", "StatusBar1"}) {
        ASSERT_NE(child<QWidget>(shown), nullptr) << shown;
        EXPECT_FALSE(child<QWidget>(shown)->isHidden()) << shown;
    }
    for (const char* hidden :
         {"lblVolume(0)", "lbllblVolume(0)", "lstSignatures(0)", "lstServeurs", "lstConnections",
          "lstDrives", "picUp", "picDown", "Picture1", "Picture2"}) {
        ASSERT_NE(child<QWidget>(hidden), nullptr) << hidden;
        EXPECT_TRUE(child<QWidget>(hidden)->isHidden()) << hidden;
    }
    EXPECT_EQ(child<QListWidget>("lstServeurs"), window->lstServeurs());
    EXPECT_EQ(child<QLabel>("lbllblVolume(0)")->text(), "123");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NE(child<QWidget>(QStringLiteral("StatusBar1.Panels(%1)").arg(i)), nullptr);
    }
    EXPECT_TRUE(window->statusPictureShown(2));

    QAction* refresh = window->toolbarButton("Actualiser");
    QAction* drives = window->toolbarButton("Lecteurs");
    ASSERT_TRUE(refresh && drives);
    EXPECT_EQ(child<QToolBar>("Toolbar1")->actions(), (QList<QAction*>{refresh, drives}));
    EXPECT_FALSE(refresh->icon().isNull());
    EXPECT_EQ(window->toolbarButton("Other"), nullptr);
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
        fichier << a->objectName() + "=" + (a->isSeparator() ? "-" : a->text());
    }
    EXPECT_EQ(fichier,
              (QStringList{"mnuActualiser=&Actualiser", "mnuConnecter=&Afficher les lecteurs",
                           "Sep11=-", "mnuQuitter=&Quitter"}));
    EXPECT_EQ(child<QAction>("mnuActualiser")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(child<QAction>("mnuGestionSignatures")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(child<QAction>("mnuAbout")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(child<QAction>("mnuFrancais")->text(), QString::fromUtf8("&Français"));
    // The product menu is out of reach; its items carry the product's check mark.
    EXPECT_FALSE(child<QMenu>("mnuServeurMac")->menuAction()->isEnabled());
    EXPECT_TRUE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuMacServerIP")->isChecked());
}

TEST_F(CompositionTest, KeysMenusAndToolbarReachTheirCommands) {
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy signatures(window.get(), &FrmLantrivex::signatureManagerRequested);
    QSignalSpy about(window.get(), &FrmLantrivex::aboutRequested);
    QSignalSpy drives(window.get(), &FrmLantrivex::drivesDialogRequested);

    window->treeCatalogue()->setFocus();
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F3);
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F1);
    QTest::keyClick(window->treeCatalogue(), Qt::Key_F5);
    EXPECT_EQ(signatures.count(), 1);
    EXPECT_EQ(about.count(), 1);
    EXPECT_EQ(window->rebuilds, 2);

    window->toolbarButton("Lecteurs")->trigger();
    child<QAction>("mnuConnecter")->trigger();
    EXPECT_EQ(drives.count(), 2);
    window->Toolbar1_ButtonClick(3); // no such button
    EXPECT_EQ(window->enumerations, 2);
    EXPECT_EQ(drives.count(), 2);
}

TEST(Images, EveryTreePictureDrawnAndNoneOutOfRange) {
    for (int n = 1; n <= 8; ++n) {
        const QImage image = treeImage(n).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16)) << n;
        int painted = 0;
        for (int i = 0; i < 16 * 16; ++i) {
            painted += qAlpha(image.pixel(i % 16, i / 16)) != 0 ? 1 : 0;
        }
        EXPECT_GT(painted, 40) << "image " << n << " is drawn";
    }
    EXPECT_TRUE(treeImage(0).isNull());
    EXPECT_TRUE(treeImage(9).isNull());
    EXPECT_NE(treeImage(3).toImage(), treeImage(8).toImage());
    EXPECT_NE(upArrow().toImage(), downArrow().toImage());
}

} // namespace
} // namespace lantrivex::ui::test
