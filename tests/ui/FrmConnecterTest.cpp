#include "ui/FrmConnecter.h"

#include "fakes/FakeDriveList.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace lantrivex::ui {
namespace {

QStringList items(const FrmConnecter& dialog) {
    QStringList out;
    for (int i = 0; i < dialog.list()->count(); ++i) {
        out << dialog.list()->item(i)->text();
    }
    return out;
}

class FrmConnecterTest : public ::testing::Test {
protected:
    FrmConnecterTest() {
        drives.add(R"(C:\)", platform::kDriveFixed);
        drives.add(R"(d:\)", platform::kDriveCdRom);
        drives.add(R"(F:\)", platform::kDriveRemote);
        drives.add(R"(G:\)", platform::kDriveRemote);
        drives.add(R"(Q:\)", platform::kDriveNoRootDir);
    }
    fakes::FakeDriveList drives;
    std::vector<std::string> lstDrives{"LPT1:\tntsrv\\laser", "F:\tntsrv\\public"};
};

TEST_F(FrmConnecterTest, EnglishDialog) {
    FrmConnecter dialog(drives, lstDrives, kEnglish);
    EXPECT_EQ(dialog.objectName(), "frmConnecter");
    EXPECT_EQ(dialog.windowTitle(), "Lantrivex 1.0 - Display drives");
    EXPECT_EQ(dialog.cancelButton()->text(), "&Cancel");
    EXPECT_EQ(dialog.cancelButton()->objectName(), "cmdAnnuler");
    EXPECT_EQ(dialog.list()->objectName(), "lstDrives");
    EXPECT_EQ(items(dialog), (QStringList{"C:\tLocal drive", "D:\tCD-Rom", "F:\tntsrv\\public",
                                          "G:\tNetwork drive"}));
    // 15 twips to the pixel: inner area 4740 x 2505, list 120,120,4455,1815, button
    // 1680,2040,1335,375.
    EXPECT_EQ(dialog.size(), QSize(316, 167));
    EXPECT_EQ(dialog.list()->geometry(), QRect(8, 8, 297, 121));
    EXPECT_EQ(dialog.cancelButton()->geometry(), QRect(112, 136, 89, 25));
    EXPECT_TRUE(dialog.isModal());
}

TEST_F(FrmConnecterTest, FrenchDialogClosesWithItsButton) {
    FrmConnecter dialog(drives, lstDrives, kFrench);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Lantrivex 1.0 - Afficher les lecteurs"));
    EXPECT_EQ(dialog.cancelButton()->text(), "&Annuler");
    EXPECT_EQ(items(dialog), (QStringList{"C:\tLecteur Local", "D:\tCD-Rom", "F:\tntsrv\\public",
                                          QString::fromUtf8("G:\tLecteur réseau")}));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog) || dialog.isVisible());
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(FrmConnecterTest, NoDrivesEmptyList) {
    fakes::FakeDriveList none;
    FrmConnecter dialog(none, lstDrives, kEnglish);
    EXPECT_EQ(dialog.list()->count(), 0);
    // Painting the items (tab stops) works on an empty and on a filled list.
    FrmConnecter filled(drives, lstDrives, kEnglish);
    filled.grab();
}

} // namespace
} // namespace lantrivex::ui
