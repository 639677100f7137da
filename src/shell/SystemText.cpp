// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SystemText.h"

#include "common/Language.h"

#include <cstdint>
#include <string_view>

namespace lantrivex::shell {

using platform::OsVersionInfo;

std::string systemName(const OsVersionInfo& version) {
    switch (version.platformId) {
    case OsVersionInfo::kPlatformWin9x:
        if (version.minorVersion == 0) {
            return "Windows 95";
        }
        if (version.minorVersion == 10) {
            return "Windows 98";
        }
        return "";
    case OsVersionInfo::kPlatformWinNT:
        return (version.majorVersion == 3 || version.majorVersion == 4) ? "Windows NT"
                                                                        : "Windows 2000";
    default:
        return version.systemName.empty() || version.platformId != OsVersionInfo::kPlatformOther
                   ? std::string("???")
                   : version.systemName;
    }
}

namespace {

std::string servicePackText(std::string_view csd) {
    csd = csd.substr(0, csd.find('\0'));
    const auto first = csd.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return "";
    }
    const auto last = csd.find_last_not_of(' ');
    return std::string(csd.substr(first, last - first + 1));
}

} // namespace

std::string systemText(const OsVersionInfo& version) {
    const auto build = static_cast<std::int16_t>(version.buildNumber & 0xFFFFu);
    std::string text = systemName(version) + " v." + std::to_string(version.majorVersion) + "." +
                       std::to_string(version.minorVersion) + ", Build " + std::to_string(build);
    const std::string servicePack = servicePackText(version.servicePack);
    if (!servicePack.empty()) {
        text += ", " + servicePack;
    }
    return text;
}

std::string windowTitle(const OsVersionInfo& version) {
    std::string title = std::string(kProductName) + " " + std::string(kProductVersion);
    return title + " - " + systemText(version);
}

} // namespace lantrivex::shell
