#include "ui/DialogCommands.h"

#include "WindowFixture.h"
#include "ui/FrmAbout.h"
#include "ui/FrmGestionSignatures.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace lantrivex::ui::test {
namespace {

// The main window with its dialog commands connected, as the program runs it.
class DialogCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        putIndex(kVolumeA, indexStream({{"XDOCXPR3", 2}, {"TEXTttxt", 1}}));
        putIndex(kVolumeB, indexStream({{"TEXTttxt", 3}}));
        start();
        connectDialogCommands(*window, bundle, notifier, state);
        std::tie(volumeA, volumeB) = addVolumes();
    }

    // Runs `command`, which opens a modal dialog of type D, and `drive` on the dialog while it
    // is up. A dialog that `drive` leaves open is closed, so a failing test cannot hang.
    template <class D>
    void withModal(const std::function<void()>& command, const std::function<void(D&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, window.get(), [&] {
            D* dialog = window->findChild<D*>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), dialog);
            driven = true;
            drive(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->QDialog::done(QDialog::Rejected);
            }
        });
        command();
        EXPECT_TRUE(driven);
        EXPECT_EQ(window->findChild<D*>(), nullptr) << "the dialog is discarded when it closes";
    }

    QAction* action(const char* name) { return child<QAction>(QString::fromLatin1(name)); }

    QTreeWidgetItem* volumeA = nullptr;
    QTreeWidgetItem* volumeB = nullptr;
};

TEST_F(DialogCommandsTest, SavedDescriptionsShowInTheNextAnalysis) {
    clickNode(volumeA);
    EXPECT_EQ(column(1, 3), (QStringList{"QuarkXPress document", ""}));

    withModal<FrmGestionSignatures>(
        [&] { action("mnuGestionSignatures")->trigger(); },
        [&](FrmGestionSignatures& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Lantrivex - Macintosh signatures (2)");
            dialog.findChild<QLineEdit*>("txtSignature")->setText("TEXTttxt");
            dialog.findChild<QLineEdit*>("txtType")->setText("Plain text");
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdAjouter"), Qt::LeftButton);
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });

    EXPECT_EQ(files.files["/opt/lantrivex/Signatures.txt"],
              "\"TEXTttxt\",\"\",\"Plain text\"\r\n"
              "\"w6bnmswd\",\"doc\",\"Word 6 document\"\r\n"
              "\"XDOCXPR3\",\"qxd\",\"QuarkXPress document\"\r\n");
    EXPECT_EQ(state.signatures.size(), 3u);
    // The result already shown keeps its descriptions; the next analysis has the new one.
    clickNode(volumeA);
    EXPECT_EQ(column(1, 3), (QStringList{"QuarkXPress document", ""}));
    clickNode(volumeB);
    EXPECT_EQ(column(2, 2), (QStringList{"TEXTttxt"}));
    EXPECT_EQ(column(2, 3), (QStringList{"Plain text"}));
}

TEST_F(DialogCommandsTest, CancelledChangesLeaveFileAndTable) {
    const std::string before = files.files["/opt/lantrivex/Signatures.txt"];
    notifier.answers = {true};
    withModal<FrmGestionSignatures>([&] { window->mnuGestionSignatures_Click(); },
                                    [&](FrmGestionSignatures& dialog) {
                                        auto* list =
                                            dialog.findChild<QTreeWidget*>("lstSignatures");
                                        list->setCurrentItem(list->topLevelItem(0));
                                        list->setFocus();
                                        QTest::keyClick(list, Qt::Key_Delete);
                                        QTest::keyClick(&dialog, Qt::Key_Escape);
                                    });
    EXPECT_EQ(notifier.questions.size(), 1u);
    EXPECT_EQ(files.files["/opt/lantrivex/Signatures.txt"], before);
    EXPECT_EQ(state.signatures.size(), 2u);
}

TEST_F(DialogCommandsTest, AboutShowsTheTableSizeAndLanguageOfTheMoment) {
    withModal<FrmAbout>(
        [&] { action("mnuAbout")->trigger(); },
        [&](FrmAbout& box) {
            EXPECT_EQ(box.windowTitle(), "About...");
            EXPECT_TRUE(
                box.findChild<QLabel*>("lblCredit")->text().endsWith("\n(2 known signatures)"));
            QTest::mouseClick(box.findChild<QLabel*>("lblLink"), Qt::LeftButton);
            QTest::keyClick(&box, Qt::Key_Return);
        });
    EXPECT_EQ(shellOpen.opened, (std::vector<std::string>{"http://www.lantrivex.example/"}));

    // Built anew on each opening: the language chosen meanwhile shows.
    action("mnuFrancais")->trigger();
    withModal<FrmAbout>(
        [&] { action("mnuAbout")->trigger(); },
        [&](FrmAbout& box) {
            EXPECT_EQ(box.windowTitle(), "A propos de...");
            EXPECT_TRUE(
                box.findChild<QLabel*>("lblCredit")->text().endsWith("\n(2 signatures reconnues)"));
            QTest::keyClick(&box, Qt::Key_Escape);
        });
}

TEST_F(DialogCommandsTest, F3AndF1OpenTheDialogs) {
    // The shortcuts act in the active window; offscreen, nothing gives the activation back to
    // the window when a dialog closes, so the test does.
    const auto activate = [this] {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->treeCatalogue()->setFocus();
    };
    activate();
    withModal<FrmGestionSignatures>(
        [&] { QTest::keyClick(window->treeCatalogue(), Qt::Key_F3); },
        [&](FrmGestionSignatures& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    activate();
    withModal<FrmAbout>([&] { QTest::keyClick(window->treeCatalogue(), Qt::Key_F1); },
                        [&](FrmAbout& box) { QTest::keyClick(&box, Qt::Key_Escape); });
}

} // namespace
} // namespace lantrivex::ui::test
