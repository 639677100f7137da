#include "discovery/DriveItems.h"

#include "fakes/FakeDriveList.h"

#include <gtest/gtest.h>

namespace lantrivex::discovery {
namespace {

using Strings = std::vector<std::string>;

TEST(DriveItems, KindsInBothLanguagesAndNetworkDrivesWithTheirShare) {
    fakes::FakeDriveList drives;
    drives.add(R"(a:\)", platform::kDriveRemovable);
    drives.add(R"(C:\)", platform::kDriveFixed);
    drives.add(R"(D:\)", platform::kDriveCdRom);
    drives.add(R"(F:\)", platform::kDriveRemote);
    drives.add(R"(G:\)", platform::kDriveRemote);
    drives.add(R"(R:\)", platform::kDriveRamDisk);
    drives.add(R"(X:\)", platform::kDriveNoRootDir);
    drives.add(R"(Y:\)", platform::kDriveUnknown);
    drives.add(R"(Z:\)", 9);
    const Strings lstDrives{"LPT1:\tntsrv\\laser", "F:\tntsrv\\public", "F:\tother\\x"};
    EXPECT_EQ(DriveItems(drives, lstDrives, kEnglish),
              (Strings{"A:\tRemovable drive", "C:\tLocal drive", "D:\tCD-Rom", "F:\tntsrv\\public",
                       "G:\tNetwork drive", "R:\tVirtual drive"}));
    EXPECT_EQ(
        DriveItems(drives, {}, kFrench),
        (Strings{"A:\tLecteur amovible", "C:\tLecteur Local", "D:\tCD-Rom",
                 "F:\tLecteur r\xC3\xA9seau", "G:\tLecteur r\xC3\xA9seau", "R:\tLecteur virtuel"}));
    EXPECT_EQ(DriveItems(drives, {}, 7)[0], "A:\tRemovable drive"); // any flag but 1: English
    EXPECT_EQ(drives.typeQueries.front(), R"(A:\)"); // asked for the upper-cased root
    fakes::FakeDriveList none;
    EXPECT_TRUE(DriveItems(none, lstDrives, kEnglish).empty());
}

TEST(DriveItems, MountPointsAreNamedWhole) {
    fakes::FakeDriveList drives;
    drives.mountPoints = true;
    drives.add("/", platform::kDriveFixed);
    drives.add("/mnt/ntsrv1-d", platform::kDriveRemote);
    drives.add("/mnt/ntsrv1", platform::kDriveRemote);
    drives.add("/media/Cd", platform::kDriveCdRom);
    const Strings lstDrives{"/mnt/ntsrv1-d\tNTSRV1\\D$", "/mnt/ntsrv1-dx\tNTSRV1\\E$"};
    EXPECT_EQ(DriveItems(drives, lstDrives, kEnglish),
              (Strings{"/\tLocal drive", "/mnt/ntsrv1-d\tNTSRV1\\D$", "/mnt/ntsrv1\tNetwork drive",
                       "/media/Cd\tCD-Rom"}));
}

TEST(DriveItems, DialogCaptions) {
    EXPECT_EQ(DrivesDialogTitle(kEnglish), "Lantrivex 1.0 - Display drives");
    EXPECT_EQ(DrivesDialogTitle(kFrench), "Lantrivex 1.0 - Afficher les lecteurs");
    EXPECT_EQ(DrivesDialogButton(kEnglish), "&Cancel");
    EXPECT_EQ(DrivesDialogButton(kFrench), "&Annuler");
}

} // namespace
} // namespace lantrivex::discovery
