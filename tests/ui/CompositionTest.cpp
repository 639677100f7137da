#include "WindowFixture.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>

namespace lantrivex::ui::test {
namespace {

using CompositionTest = WindowTest;

QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) {
        out << a->objectName() + "=" + (a->isSeparator() ? "-" : a->text());
    }
    return out;
}

TEST_F(CompositionTest, ControlsAndMenusUnderTheirNamesWithDesignCaptions) {
    ASSERT_TRUE(load());
    EXPECT_EQ(window->objectName(), "frmLantrivex");
    const auto shown = [&](std::initializer_list<const char*> names, bool expected) {
        for (const char* name : names) {
            ASSERT_NE(child<QWidget>(name), nullptr) << name;
            EXPECT_EQ(child<QWidget>(name)->isHidden(), !expected) << name;
        }
    };
    shown({"Toolbar1", "treeCatalogue", "SizeBarV", "StatusBar1"}, true);
    shown({"lblVolume(0)", "lbllblVolume(0)", "lstSignatures(0)", "lstServeurs", "lstConnections",
           "lstDrives", "picUp", "picDown", "Picture1", "Picture2"},
          false);
    EXPECT_NE(child<QWidget>("StatusBar1.Panels(3)"), nullptr);
    EXPECT_TRUE(window->statusPictureShown(2));
    QAction* refresh = window->toolbarButton("Actualiser");
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(child<QToolBar>("Toolbar1")->actions(),
              (QList<QAction*>{refresh, window->toolbarButton("Lecteurs")}));

    EXPECT_EQ(
        captions(window->menuBar()->actions()),
        (QStringList{"mnuFichier=&Fichier", "mnuConfiguration=&Configuration",
                     "mnuServeurMac=Serveur Macintosh", "mnuLangue=&Language", "mnuHelp=&?"}));
    EXPECT_EQ(captions(child<QMenu>("mnuFichier")->actions()),
              (QStringList{"mnuActualiser=&Actualiser", "mnuConnecter=&Afficher les lecteurs",
                           "Sep11=-", "mnuQuitter=&Quitter"}));
    EXPECT_EQ(child<QAction>("mnuFrancais")->text(), QString::fromUtf8("&Français"));
    // The product menu is out of reach; its items carry the product's check mark.
    EXPECT_FALSE(child<QMenu>("mnuServeurMac")->menuAction()->isEnabled());
    EXPECT_FALSE(child<QAction>("mnuMacServerIP")->isChecked());
}

TEST_F(CompositionTest, KeysMenusAndToolbarReachTheirCommands) {
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy signatures(window.get(), &FrmLantrivex::signatureManagerRequested);
    QSignalSpy about(window.get(), &FrmLantrivex::aboutRequested);
    window->treeCatalogue()->setFocus();
    for (Qt::Key key : {Qt::Key_F3, Qt::Key_F1, Qt::Key_F5}) {
        QTest::keyClick(window->treeCatalogue(), key);
    }
    EXPECT_EQ(signatures.count(), 1);
    EXPECT_EQ(about.count(), 1);
    EXPECT_EQ(window->rebuilds, 2);
    window->Toolbar1_ButtonClick(3); // no such button
    EXPECT_EQ(window->enumerations, 2);
}

} // namespace
} // namespace lantrivex::ui::test
