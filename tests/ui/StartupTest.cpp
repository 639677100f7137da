#include "WindowFixture.h"

#include <QSignalSpy>
#include <QSysInfo>

namespace lantrivex::ui::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, NoSettingsFileGivesTheDesignWindowInEnglish) {
    start();
    EXPECT_EQ(window->windowTitle(), "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");
    EXPECT_EQ(state.sSettingsFile, "/opt/lantrivex/Lantrivex.ini");
    EXPECT_EQ(state.sSignaturesFile(), "/opt/lantrivex/Signatures.txt");
    EXPECT_EQ(profile.readCount, 8) << "each key is read once";
    EXPECT_EQ(state.nLangue, kEnglish);
    EXPECT_EQ(state.nSizeBarVLeft, 5137);
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(window->pos(), QPoint(96, 96));
    EXPECT_EQ(window->innerArea()->size(), QSize(685, 437));
    EXPECT_TRUE(child<QAction>("mnuMacFile")->isChecked());
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_TRUE(writes().empty()) << "reading writes nothing";
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(StartupTest, FirstActivationRunsItsStepsOnce) {
    start();
    EXPECT_FALSE(state.FlagFirstActivation);
    EXPECT_EQ(state.signatures.size(), 2u) << "the signature table was loaded";
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Looking NT servers...", "Looking Macintosh volumes..."}));
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_EQ(window->treeCatalogue()->topLevelItemCount(), 1);
    EXPECT_EQ(window->treeCatalogue()->topLevelItem(0)->text(0), "WORKSTATION");
    EXPECT_EQ(window->treeCatalogue()->currentItem(), nullptr);
    EXPECT_TRUE(window->lblVolume(0)->isVisible());
    EXPECT_TRUE(window->lstSignatures(0)->isVisible());
    EXPECT_FALSE(window->lbllblVolume(0)->isVisible());
    EXPECT_EQ(window->gridModel(0)->rowCount(), 0);
    EXPECT_EQ(child<QAction>("mnuFichier")->text(), "&File");

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
    auto w = std::make_unique<TestWindow>(other, notifier, state);
    reentering.window = w.get();
    ASSERT_TRUE(w->Form_Load());
    w->Form_Activate();
    EXPECT_EQ(w->enumerations, 1);
    EXPECT_EQ(state.signatures.size(), 2u);
}

TEST_F(StartupTest, StatusTextsInFrench) {
    setting("Configuration", "Langue", "1");
    start();
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Recherche des serveurs NT...", "Recherche des volumes Macintosh..."}));
    EXPECT_EQ(child<QMenu>("mnuFichier")->title(), "&Fichier");
    EXPECT_TRUE(child<QAction>("mnuFrancais")->isChecked());
}

TEST_F(StartupTest, StoredPlacementIsRestored) {
    setting("Positions", "WindowState", "0");
    setting("Positions", "Left", "3000");
    setting("Positions", "Top", "1500.5");
    setting("Positions", "Width", "9000");
    setting("Positions", "Height", "6000");
    setting("Positions", "SizeBarVLeft", "3000");
    setting("Configuration", "ServeurMac", "1");
    start();
    EXPECT_EQ(window->pos(), QPoint(200, 100));
    EXPECT_EQ(window->size(), QSize(600, 400));
    EXPECT_EQ(state.nSizeBarVLeft, 3000);
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("SizeBarV")).left, 3000);
    EXPECT_EQ(window->twipsGeometry(child<QWidget>("treeCatalogue")).width, 2970);
    EXPECT_EQ(state.nServeurMac, 1);
    EXPECT_TRUE(child<QAction>("mnuMacServerIP")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuMacFile")->isChecked());
}

TEST_F(StartupTest, MaximizedStateWinsOverTheStoredPlace) {
    setting("Positions", "WindowState", "2");
    setting("Positions", "Left", "3000");
    setting("Positions", "Top", "1500");
    setting("Positions", "Width", "4500");
    setting("Positions", "Height", "3000");
    start();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_NE(window->size(), QSize(300, 200));
}

TEST_F(StartupTest, OutOfRangeValuesFallBackToTheDefaults) {
    setting("Positions", "WindowState", "7");
    setting("Positions", "Left", "99999999999");
    setting("Positions", "SizeBarVLeft", "abc");
    setting("Configuration", "Langue", "70000");
    start();
    EXPECT_FALSE(window->isMaximized());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->pos().x(), 96);
    EXPECT_EQ(state.nSizeBarVLeft, 0) << "a value that is no number reads 0";
    EXPECT_EQ(state.nLangue, kEnglish);
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

TEST_F(StartupTest, LanguageCommandsWriteAtOnce) {
    start();
    window->setStatusText(1, "some text");
    child<QAction>("mnuFrancais")->trigger();
    EXPECT_EQ(state.nLangue, kFrench);
    EXPECT_EQ(child<QMenu>("mnuFichier")->title(), "&Fichier");
    EXPECT_EQ(child<QAction>("mnuQuitter")->text(), "&Quitter");
    EXPECT_EQ(child<QAction>("mnuGestionSignatures")->text(), "&Signatures Macintosh");
    EXPECT_EQ(child<QMenu>("mnuServeurMac")->title(), "Serveur Macintosh");
    EXPECT_EQ(child<QMenu>("mnuLangue")->title(), "&Langue");
    EXPECT_EQ(window->toolbarButton("Actualiser")->toolTip(), "Actualiser les connections");
    EXPECT_EQ(child<QAction>("mnuActualiser")->text(), "&Actualiser les connections");
    EXPECT_EQ(window->toolbarButton("Lecteurs")->toolTip(), "Afficher les lecteurs");
    EXPECT_EQ(child<QAction>("mnuConnecter")->text(), "Afficher les &lecteurs");
    EXPECT_EQ(child<QAction>("mnuAbout")->text(), "A propos de...");
    EXPECT_TRUE(child<QAction>("mnuFrancais")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_EQ(child<QMenu>("mnuConfiguration")->title(), "&Configuration");
    EXPECT_EQ(child<QMenu>("mnuHelp")->title(), "&?");
    EXPECT_EQ(window->statusText(1), "some text") << "the status bar keeps its text";

    child<QAction>("mnuFrancais")->trigger();
    child<QAction>("mnuAnglais")->trigger();
    EXPECT_EQ(writes(),
              (std::vector<std::string>{"Configuration/Langue=1", "Configuration/Langue=1",
                                        "Configuration/Langue=0"}));
    EXPECT_EQ(child<QMenu>("mnuServeurMac")->title(), "Macintosh Server");
    EXPECT_EQ(child<QAction>("mnuAbout")->text(), "About");
    EXPECT_EQ(window->toolbarButton("Lecteurs")->toolTip(), "Display drives");
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
}

TEST_F(StartupTest, AnyLanguageValueButOneIsEnglish) {
    setting("Configuration", "Langue", "2");
    start();
    EXPECT_EQ(state.nLangue, 2);
    EXPECT_TRUE(child<QAction>("mnuAnglais")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuFrancais")->isChecked());
    EXPECT_EQ(child<QMenu>("mnuLangue")->title(), "&Language");
}

TEST_F(StartupTest, RefreshEntryPoints) {
    start();
    QSignalSpy drives(window.get(), &FrmLantrivex::drivesDialogRequested);

    window->statusDuringSteps.clear();
    window->toolbarButton("Actualiser")->trigger();
    EXPECT_EQ(window->enumerations, 2);
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->statusDuringSteps,
              (QStringList{"Looking NT servers...", "Looking Macintosh volumes..."}));
    EXPECT_EQ(window->statusText(1), "");

    window->setStatusText(1, "kept");
    child<QAction>("mnuActualiser")->trigger();
    EXPECT_EQ(window->enumerations, 3);
    EXPECT_EQ(window->statusText(1), "kept") << "the menu refresh leaves the status bar";

    window->toolbarButton("Lecteurs")->trigger();
    child<QAction>("mnuConnecter")->trigger();
    EXPECT_EQ(drives.count(), 2);
    window->Toolbar1_ButtonClick(3);
    EXPECT_EQ(window->enumerations, 3);
    EXPECT_EQ(state.signatures.size(), 2u);
}

TEST_F(StartupTest, ProductChangeRebuildsOnlyWhenTheCodeChanges) {
    start();
    child<QAction>("mnuMacFile")->trigger();
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(window->rebuilds, 1);

    child<QAction>("mnuExtremeZIP")->trigger();
    EXPECT_EQ(writes(), (std::vector<std::string>{"Configuration/ServeurMac=2"}));
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_EQ(window->enumerations, 1) << "no new enumeration";
    EXPECT_TRUE(child<QAction>("mnuExtremeZIP")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuMacFile")->isChecked());
}

} // namespace
} // namespace lantrivex::ui::test
