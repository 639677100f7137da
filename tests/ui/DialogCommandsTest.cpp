// SPDX-License-Identifier: GPL-3.0-or-later
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
        putIndex(kVolumeA, {{"XDOCXPR3", 2}, {"TEXTttxt", 1}});
        putIndex(kVolumeB, {{"TEXTttxt", 3}});
        start();
        connectDialogCommands(*window, bundle, notifier, state);
    }

    // Triggers the action `name`, which opens a modal dialog D, and runs `drive` on it while it
    // is up; a dialog that `drive` leaves open is closed, so no test can hang.
    template <class D> void withModal(const char* name, const std::function<void(D&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, window.get(), [&] {
            D* dialog = window->findChild<D*>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(QApplication::activeModalWidget(), dialog);
            drive(*dialog);
            driven = true;
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->QDialog::done(QDialog::Rejected);
            }
        });
        child<QAction>(name)->trigger();
        EXPECT_TRUE(driven);
        EXPECT_EQ(window->findChild<D*>(), nullptr) << "the dialog is discarded when it closes";
    }
    template <class T = QLabel> static T* in(QWidget& box, const char* name) {
        return box.findChild<T*>(name);
    }
};

TEST_F(DialogCommandsTest, SavedDescriptionsShowInTheNextAnalysis) {
    const auto [volumeA, volumeB] = addVolumes();
    clickNode(volumeA);
    EXPECT_EQ(column(1, 3), (QStringList{"QuarkXPress document", ""}));
    withModal<FrmGestionSignatures>("mnuGestionSignatures", [&](FrmGestionSignatures& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Lantrivex - Macintosh signatures (2)");
        in<QLineEdit>(dialog, "txtSignature")->setText("TEXTttxt");
        in<QLineEdit>(dialog, "txtType")->setText("Plain text");
        QTest::mouseClick(in<QPushButton>(dialog, "cmdAjouter"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    });
    EXPECT_EQ(files.files["/opt/lantrivex/Signatures.txt"],
              "\"TEXTttxt\",\"\",\"Plain text\"\r\n"
              "\"w6bnmswd\",\"doc\",\"Word 6 document\"\r\n"
              "\"XDOCXPR3\",\"qxd\",\"QuarkXPress document\"\r\n");
    clickNode(volumeB); // the next analysis has the new description
    EXPECT_EQ(column(2, 3), (QStringList{"Plain text"}));
}

TEST_F(DialogCommandsTest, AboutBoxInTheLanguageOfTheMomentWithItsLink) {
    shell.result = false; // a failure of the desktop is not reported
    withModal<FrmAbout>("mnuAbout", [&](FrmAbout& box) {
        EXPECT_EQ(box.windowTitle(), "About...");
        EXPECT_EQ(in(box, "lblCredit")->text(),
                  "Lantrivex 1.0 - Analyze Macintosh volumes index on NT Server\n"
                  "(2 known signatures)");
        EXPECT_EQ(box.size(), QSize(439, 205));
        EXPECT_EQ(in(box, "lblLink")->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(in(box, "lblLink"), Qt::LeftButton);
        QTest::mouseClick(in(box, "lblCredit"), Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.lantrivex.example/"}));
    EXPECT_TRUE(notifier.messages.empty());

    child<QAction>("mnuFrancais")->trigger();
    withModal<FrmAbout>("mnuAbout", [&](FrmAbout& box) {
        EXPECT_EQ(box.windowTitle(), "A propos de...");
        EXPECT_EQ(in(box, "lblServeur")->text(), "Machine Windows connectée");
        QTest::keyClick(&box, Qt::Key_Escape);
    });
}

} // namespace
} // namespace lantrivex::ui::test
