// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFixture.h"

namespace lantrivex::ui::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, NoSettingsFileGivesTheDesignWindowInEnglishAndLanguageCommandsWriteAtOnce) {
    start();
    EXPECT_EQ(window->windowTitle(), "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");
    EXPECT_EQ(window->pos(), QPoint(96, 96));
    EXPECT_EQ(window->innerArea()->size(), QSize(685, 437));
    EXPECT_TRUE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_TRUE(writes().empty()) << "reading writes nothing";
    EXPECT_TRUE(window->lstSignatures(0)->isVisible());
    window->Form_Activate(); // later activations (after a dialog, another program) do nothing
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_EQ(window->rebuilds, 1);

    window->setStatusText(1, "some text");
    child<QAction>("mnuFrancais")->trigger();
    EXPECT_EQ(child<QMenu>("mnuFichier")->title(), "&Fichier");
    EXPECT_EQ(window->toolbarButton("Actualiser")->toolTip(), "Actualiser les connections");
    EXPECT_FALSE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_EQ(window->statusText(1), "some text") << "the status bar keeps its text";
    child<QAction>("mnuFrancais")->trigger();
    child<QAction>("mnuAnglais")->trigger();
    EXPECT_EQ(writes(),
              (std::vector<std::string>{"Configuration/Langue=1", "Configuration/Langue=1",
                                        "Configuration/Langue=0"}));
    EXPECT_EQ(child<QMenu>("mnuServeurMac")->title(), "Macintosh Server");
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
}

// A box shown during the first activation activates the window again when it closes.
struct ReenteringFiles : fakes::FakeFileSystem {
    std::optional<std::string> readFile(std::string_view path) override {
        if (window != nullptr) {
            window->Form_Activate();
        }
        return fakes::FakeFileSystem::readFile(path);
    }
    FrmLantrivex* window = nullptr;
};

TEST_F(StartupTest, ActivationDuringTheFirstActivationDoesNotRunItAgain) {
    ReenteringFiles reentering;
    reentering.files = files.files;
    platform::Platform other{streams,  folders,  profiles,    version, reentering, location,
                             instance, registry, connections, drives,  shell};
    ASSERT_TRUE(load(&other));
    reentering.window = window.get();
    window->Form_Activate();
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_EQ(state.signatures.size(), 2u);
}

TEST_F(StartupTest, StoredPlacementProductAndLanguageAreRestoredAndStateTwoMaximizes) {
    setting("Configuration", {{"ServeurMac", "1"}, {"Langue", "1"}});
    for (const char* windowState : {"2", "0"}) {
        setting("Positions", {{"WindowState", windowState},
                              {"Left", "3000"},
                              {"Top", "1500.5"},
                              {"Width", "9000"},
                              {"Height", "6000"},
                              {"SizeBarVLeft", "3000"}});
        start();
        const bool maximized = windowState == std::string("2"); // the placement left aside
        EXPECT_EQ(window->windowState().testFlag(Qt::WindowMaximized), maximized);
        EXPECT_EQ(window->size() == QSize(600, 400), !maximized);
    }
    EXPECT_EQ(window->pos(), QPoint(200, 100));
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("treeCatalogue")).width, 2970);
    EXPECT_FALSE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Recherche des serveurs NT...", "Recherche des volumes Macintosh..."}));
    EXPECT_TRUE(child<QAction>("mnuFrancais")->isChecked());
}

TEST_F(StartupTest, SecondInstanceIsToldAndEndsBeforeShowing) {
    instance.otherRunning = true;
    for (const auto& [langue, text] : {std::pair{"1", "Programme d\xC3\xA9j\xC3\xA0 lanc\xC3\xA9"},
                                       std::pair{"0", "Program already running"}}) {
        setting("Configuration", {{"Langue", langue}});
        notifier.messages.clear();
        EXPECT_FALSE(load());
        ASSERT_EQ(notifier.texts(), std::vector<std::string>{text});
        EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::Exclamation);
        EXPECT_FALSE(window->isVisible());
        window.reset();
        EXPECT_TRUE(writes().empty()) << "the first instance's placement stays";
    }
}

TEST_F(StartupTest, ASignatureFileOfManyDuplicatesShowsTenBoxesAndOneThatCountsTheRest) {
    std::string text = "\"XDOCXPR3\",\"qxd\",\"QuarkXPress document\"\r\n";
    for (int i = 0; i < 5000; ++i) {
        text += "\"xdocxpr3\",\"qxd\",\"Copy " + std::to_string(i) + "\"\r\n";
    }
    files.files["/opt/lantrivex/Signatures.txt"] = text;
    setting("Configuration", {{"Langue", "1"}});
    start();
    ASSERT_EQ(notifier.messages.size(), 11u);
    EXPECT_EQ(notifier.texts().front(), "Doublon dans le fichier des Signatures: xdocxpr3");
    EXPECT_EQ(notifier.texts().back(), "Autres doublons dans le fichier des Signatures: 4990");
    EXPECT_EQ(notifier.messages.back().icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(StartupTest, ClosingWritesThePlacementButQuittingDoesNot) {
    start();
    window->move(150, 120);
    window->resize(700, 500);
    QApplication::processEvents();
    window->close();
    EXPECT_EQ(writes(),
              (std::vector<std::string>{"Positions/WindowState=0", "Positions/Left=2250",
                                        "Positions/Top=1800", "Positions/Width=10500",
                                        "Positions/Height=7500", "Positions/SizeBarVLeft=5137"}));
    profiles.writes.clear();
    start();
    child<QAction>("mnuQuitter")->trigger();
    EXPECT_EQ(window->ends, 1);
    window->close();
    EXPECT_TRUE(writes().empty());
}

} // namespace
} // namespace lantrivex::ui::test
