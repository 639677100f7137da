#include "WindowFixture.h"

namespace lantrivex::ui::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, NoSettingsFileGivesTheDesignWindowInEnglish) {
    start();
    EXPECT_EQ(window->windowTitle(), "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");
    EXPECT_EQ(state.sSettingsFile, "/opt/lantrivex/Lantrivex.ini");
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(window->pos(), QPoint(96, 96));
    EXPECT_EQ(window->innerArea()->size(), QSize(685, 437));
    EXPECT_TRUE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_TRUE(writes().empty()) << "reading writes nothing";

    EXPECT_FALSE(state.FlagFirstActivation);
    EXPECT_EQ(state.signatures.size(), 2u) << "the signature table was loaded";
    EXPECT_EQ(window->treeCatalogue()->currentItem(), nullptr);
    EXPECT_TRUE(window->lstSignatures(0)->isVisible());
    EXPECT_FALSE(window->lbllblVolume(0)->isVisible());
    // Later activations (after a dialog, after switching programs) do nothing.
    window->Form_Activate();
    QApplication::processEvents();
    EXPECT_EQ(window->enumerations, 1);
    EXPECT_EQ(window->rebuilds, 1);
}

// A box shown during the first activation activates the window again when it closes.
class ReenteringFiles : public fakes::FakeFileSystem {
public:
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
    platform::Platform other{streams,  folders,  profile, version,   reentering, location,
                             instance, registry, network, driveList, shellOpen};
    TestWindow w(other, notifier, state);
    reentering.window = &w;
    ASSERT_TRUE(w.Form_Load());
    w.Form_Activate();
    EXPECT_EQ(w.enumerations, 1);
    EXPECT_EQ(state.signatures.size(), 2u);
}

TEST_F(StartupTest, StoredPlacementProductAndLanguageAreRestored) {
    setting("Positions", "WindowState", "0");
    setting("Positions", "Left", "3000");
    setting("Positions", "Top", "1500.5");
    setting("Positions", "Width", "9000");
    setting("Positions", "Height", "6000");
    setting("Positions", "SizeBarVLeft", "3000");
    setting("Configuration", "ServeurMac", "1");
    setting("Configuration", "Langue", "1");
    start();
    EXPECT_EQ(window->pos(), QPoint(200, 100));
    EXPECT_EQ(window->size(), QSize(600, 400));
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("SizeBarV")).left, 3000);
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("treeCatalogue")).width, 2970);
    EXPECT_TRUE(child<QAction>("mnuMacServerIP")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Recherche des serveurs NT...", "Recherche des volumes Macintosh..."}));
    EXPECT_EQ(child<QMenu>("mnuFichier")->title(), "&Fichier");
    EXPECT_TRUE(child<QAction>("mnuFrancais")->isChecked());
}

TEST_F(StartupTest, WindowStateTwoMaximizesAndOtherValuesDoNot) {
    for (const auto& [value, maximized] : {std::pair{"2", true}, std::pair{"7", false}}) {
        SCOPED_TRACE(value);
        state = shell::AppState{};
        setting("Positions", "WindowState", value);
        setting("Positions", "Left", "3000");
        setting("Positions", "Width", "4500");
        start();
        EXPECT_EQ(window->isMaximized(), maximized);
        EXPECT_FALSE(window->isMinimized());
        window->hide();
    }
}

TEST_F(StartupTest, SecondInstanceIsToldAndEndsBeforeShowing) {
    setting("Configuration", "Langue", "1");
    instance.otherRunning = true;
    EXPECT_FALSE(load());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Programme d\xC3\xA9j\xC3\xA0 lanc\xC3\xA9");
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_TRUE(writes().empty()) << "the first instance's placement stays";

    setting("Configuration", "Langue", "0");
    notifier.messages.clear();
    EXPECT_FALSE(load());
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Program already running"}));
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

    profile.writes.clear();
    start();
    child<QAction>("mnuQuitter")->trigger();
    EXPECT_EQ(window->ends, 1);
    window->close();
    EXPECT_TRUE(writes().empty());
}

TEST_F(StartupTest, LanguageCommandsWriteAtOnceAndRecaptionEverything) {
    start();
    window->setStatusText(1, "some text");
    child<QAction>("mnuFrancais")->trigger();
    EXPECT_EQ(child<QMenu>("mnuFichier")->title(), "&Fichier");
    EXPECT_EQ(child<QAction>("mnuGestionSignatures")->text(), "&Signatures Macintosh");
    EXPECT_EQ(window->toolbarButton("Actualiser")->toolTip(), "Actualiser les connections");
    EXPECT_EQ(child<QAction>("mnuAbout")->text(), "A propos de...");
    EXPECT_TRUE(child<QAction>("mnuFrancais")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_EQ(window->statusText(1), "some text") << "the status bar keeps its text";

    child<QAction>("mnuFrancais")->trigger();
    child<QAction>("mnuAnglais")->trigger();
    EXPECT_EQ(writes(),
              (std::vector<std::string>{"Configuration/Langue=1", "Configuration/Langue=1",
                                        "Configuration/Langue=0"}));
    EXPECT_EQ(child<QMenu>("mnuServeurMac")->title(), "Macintosh Server");
    EXPECT_EQ(window->toolbarButton("Lecteurs")->toolTip(), "Display drives");
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
}

} // namespace
} // namespace lantrivex::ui::test
