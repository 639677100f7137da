// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFixture.h"
#include "ui/QtNotifier.h"
#include "ui/QtTranslations.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>

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

// The buttons of a confirmation, read while it is open, then answered "No"; sorted.
QStringList confirmationButtons() {
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
                for (QAbstractButton* button : box->buttons()) {
                    buttons << button->text();
                }
                box->button(QMessageBox::No)->click();
            }
        }
    });
    QtNotifier notifier;
    EXPECT_FALSE(notifier.askYesNo("?"));
    buttons.sort();
    return buttons;
}

// Enter in a confirmation answers No: the closing question of the signature manager never
// discards the edits by accident.
TEST(QtNotifierTest, EnterAnswersNo) {
    QString defaultButton;
    QTimer::singleShot(0, [&defaultButton] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
                defaultButton = box->defaultButton() ? box->defaultButton()->text() : "none";
                QTest::keyClick(box, Qt::Key_Return);
                if (box->isVisible()) {
                    box->button(QMessageBox::Yes)->click();
                }
            }
        }
    });
    QtNotifier notifier;
    EXPECT_FALSE(notifier.askYesNo("Modified list\r\nDiscard changes"));
    EXPECT_EQ(defaultButton, "&No");
}

TEST(QtTranslationsTest, StandardButtonsInTheLanguageOfTheSystem) {
    QTranslator* french = installQtTranslations(QLocale(QLocale::French, QLocale::France));
    ASSERT_NE(french, nullptr) << "Qt's own French texts are missing (qt6-translations-l10n)";
    EXPECT_EQ(confirmationButtons(), (QStringList{"&Non", "&Oui"}));
    QCoreApplication::removeTranslator(french);
    delete french;
    EXPECT_EQ(confirmationButtons(), (QStringList{"&No", "&Yes"}))
        << "Qt's own texts without a translation";
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

// The Windows theme's menu palette greys the titles of an inactive window, as a window blocked
// by a dialog is: the menu bar keeps its active colours, and a disabled title alone looks apart.
// The theme gives its palette before the window is made, and again once it is shown (Windows' own
// colours read afresh): the bar follows the latest.
TEST_F(CompositionTest, MenuBarKeepsItsColoursWhileADialogBlocksTheWindow) {
    const QPalette before = QApplication::palette("QMenuBar");
    auto themed = [&before](QColor face) {
        QPalette colours = before;
        colours.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
        colours.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::gray);
        colours.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::darkGray);
        for (const auto group : {QPalette::Active, QPalette::Disabled}) {
            colours.setColor(group, QPalette::Button, face);
            colours.setColor(group, QPalette::Window, face);
        }
        colours.setColor(QPalette::Inactive, QPalette::Button, QColor(245, 245, 245));
        colours.setColor(QPalette::Inactive, QPalette::Window, QColor(245, 245, 245));
        return colours;
    };
    QApplication::setPalette(themed(QColor(240, 240, 240)), "QMenuBar");
    window = std::make_unique<TestWindow>(bundle, notifier, state);
    for (const QColor face : {QColor(240, 240, 240), QColor(Qt::white)}) {
        QApplication::setPalette(themed(face), "QMenuBar");
        const QPalette colours = window->menuBar()->palette();
        EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::ButtonText), QColor(Qt::black));
        EXPECT_EQ(colours.color(QPalette::Disabled, QPalette::ButtonText), QColor(Qt::darkGray));
        for (const auto role : {QPalette::Button, QPalette::Window}) {
            EXPECT_EQ(colours.color(QPalette::Active, role), face) << face.name().toStdString();
            EXPECT_EQ(colours.color(QPalette::Inactive, role), face) << face.name().toStdString();
            EXPECT_EQ(colours.color(QPalette::Disabled, role), face) << face.name().toStdString();
        }
    }
    QApplication::setPalette(before, "QMenuBar");
}

} // namespace
} // namespace lantrivex::ui::test
