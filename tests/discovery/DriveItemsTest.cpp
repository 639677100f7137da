// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/DriveItems.h"

#include "fakes/FakeDriveList.h"

#include <gtest/gtest.h>

namespace lantrivex::discovery {
namespace {

using Strings = std::vector<std::string>;

TEST(DriveItems, KindsInBothLanguagesAndNetworkDrivesWithTheirShare) {
    fakes::FakeDriveList drives;
    using namespace platform;
    const std::int32_t kinds[] = {kDriveRemovable, kDriveFixed,   kDriveCdRom,
                                  kDriveRemote,    kDriveRemote,  kDriveRamDisk,
                                  kDriveNoRootDir, kDriveUnknown, 9};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        drives.add("aCDFGRXYZ"[i] + std::string(R"(:\)"), kinds[i]);
    }
    const Strings lstDrives{"LPT1:\tntsrv\\laser", "F:\tntsrv\\public", "F:\tother\\x"};
    EXPECT_EQ(DriveItems(drives, lstDrives, kEnglish),
              (Strings{"A:\tRemovable drive", "C:\tLocal drive", "D:\tCD-Rom", "F:\tntsrv\\public",
                       "G:\tNetwork drive", "R:\tVirtual drive"}));
    EXPECT_EQ(
        DriveItems(drives, {}, kFrench),
        (Strings{"A:\tLecteur amovible", "C:\tLecteur Local", "D:\tCD-Rom",
                 "F:\tLecteur r\xC3\xA9seau", "G:\tLecteur r\xC3\xA9seau", "R:\tLecteur virtuel"}));
    EXPECT_EQ(drives.typeQueries.front(), R"(A:\)"); // asked for the upper-cased root

    EXPECT_EQ(DrivesDialogTitle(kFrench) + "|" + std::string(DrivesDialogButton(kFrench)),
              "Lantrivex 1.0 - Afficher les lecteurs|&Annuler");
    EXPECT_EQ(DrivesDialogTitle(kEnglish) + "|" + std::string(DrivesDialogButton(kEnglish)),
              "Lantrivex 1.0 - Display drives|&Cancel");
}

TEST(DriveItems, MountPointsAreNamedWhole) {
    fakes::FakeDriveList drives;
    drives.mountPoints = true;
    drives.drives = {{"/", platform::kDriveFixed},
                     {"/mnt/ntsrv1-d", platform::kDriveRemote},
                     {"/mnt/ntsrv1", platform::kDriveRemote}};
    const Strings lstDrives{"/mnt/ntsrv1-d\tNTSRV1\\D$", "/mnt/ntsrv1-dx\tNTSRV1\\E$"};
    EXPECT_EQ(
        DriveItems(drives, lstDrives, kEnglish),
        (Strings{"/\tLocal drive", "/mnt/ntsrv1-d\tNTSRV1\\D$", "/mnt/ntsrv1\tNetwork drive"}));
}

} // namespace
} // namespace lantrivex::discovery
