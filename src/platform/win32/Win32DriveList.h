// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DriveList.h"

namespace lantrivex::platform::win32 {

// The drive letters' root folders (C:\), as GetLogicalDriveStringsA gives them into a buffer of
// 255 characters, and their kinds from GetDriveTypeA.
class Win32DriveList : public DriveList {
public:
    std::vector<std::string> driveRoots() override;
    std::int32_t driveType(std::string_view root) override;
    bool rootsAreMountPoints() const override { return false; }

    // The roots in a buffer of NUL-ended texts; a remainder without its NUL is not a root.
    static std::vector<std::string> splitRoots(std::string_view buffer);
};

} // namespace lantrivex::platform::win32
