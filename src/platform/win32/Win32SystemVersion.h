// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemVersion.h"

namespace lantrivex::platform::win32 {

// The version record of GetVersionExA. The programs carry a manifest that declares every Windows
// up to 11, so the record is the real version, not the one Windows reports to programs it does not
// know.
class Win32SystemVersion : public SystemVersion {
public:
    OsVersionInfo query() override;
};

} // namespace lantrivex::platform::win32
