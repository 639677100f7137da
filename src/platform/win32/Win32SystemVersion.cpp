// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32SystemVersion.h"

#include "platform/win32/AnsiCodePage.h"

#include <cstring>
#include <windows.h>

namespace lantrivex::platform::win32 {

OsVersionInfo Win32SystemVersion::query() {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof record;
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // GetVersionExA is what the title is built from
#endif
    const BOOL known = ::GetVersionExA(&record);
    OsVersionInfo info;
    if (!known) {
        return info;
    }
    info.platformId = static_cast<std::int32_t>(record.dwPlatformId);
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.buildNumber = record.dwBuildNumber;
    info.servicePack = fromAnsi(std::string_view(
        record.szCSDVersion, ::strnlen(record.szCSDVersion, sizeof record.szCSDVersion)));
    return info;
}

} // namespace lantrivex::platform::win32
