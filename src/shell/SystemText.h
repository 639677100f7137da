// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemVersion.h"

#include <string>

namespace lantrivex::shell {

// The system's name from its version record: "Windows 95", "Windows 98", "" for any other 9x
// release, "Windows NT" (3.x, 4.x), "Windows 2000" (later NT releases), the record's own system
// name elsewhere ("Linux"), "???" when there is none.
std::string systemName(const platform::OsVersionInfo& version);

// name + " v." + major + "." + minor + ", Build " + build [+ ", " + service pack text], the build
// being the low 16 bits of the build number read as a signed 16-bit number and the service pack
// text cut at its first NUL with blanks trimmed at both ends ("Windows NT v.4.0, Build 1381,
// Service Pack 6", "Linux v.6.1, Build 0, 18-amd64").
std::string systemText(const platform::OsVersionInfo& version);

// "Lantrivex 1.0 - " + the system text.
std::string windowTitle(const platform::OsVersionInfo& version);

} // namespace lantrivex::shell
