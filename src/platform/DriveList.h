// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform {

// Drive kinds, by the system's drive-type codes.
inline constexpr std::int32_t kDriveUnknown = 0;
inline constexpr std::int32_t kDriveNoRootDir = 1;
inline constexpr std::int32_t kDriveRemovable = 2;
inline constexpr std::int32_t kDriveFixed = 3;
inline constexpr std::int32_t kDriveRemote = 4;
inline constexpr std::int32_t kDriveCdRom = 5;
inline constexpr std::int32_t kDriveRamDisk = 6;

// This computer's drives: on Windows the drive letters' root folders (C:\), elsewhere the mount
// points of the file systems that hold data. Texts are UTF-8.
class DriveList {
public:
    virtual ~DriveList() = default;

    // The root folders of all drives, in the system's order.
    virtual std::vector<std::string> driveRoots() = 0;

    // The kind code of the drive whose root is `root` (kDriveNoRootDir when there is none).
    virtual std::int32_t driveType(std::string_view root) = 0;

    // True where the roots are mount points (POSIX): a drive is named by its whole root, as it is.
    // False where they are drive letters (C:\): a drive is named by its upper-cased letter and
    // colon.
    virtual bool rootsAreMountPoints() const = 0;
};

} // namespace lantrivex::platform
