// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixSystemVersion.h"

#include <cstdint>
#include <limits>
#include <sys/utsname.h>

namespace lantrivex::platform::posix {
namespace {

bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// Reads the decimal number at the start of `text` into `number` and removes it; false when the
// text does not begin with a digit.
bool takeNumber(std::string_view& text, std::uint32_t& number) {
    if (text.empty() || !isDigit(text.front())) {
        return false;
    }
    std::uint64_t value = 0;
    while (!text.empty() && isDigit(text.front())) {
        value = value * 10 + static_cast<std::uint64_t>(text.front() - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            value = std::numeric_limits<std::uint32_t>::max();
        }
        text.remove_prefix(1);
    }
    number = static_cast<std::uint32_t>(value);
    return true;
}

} // namespace

OsVersionInfo PosixSystemVersion::fromUname(std::string_view sysname, std::string_view release) {
    OsVersionInfo info;
    info.platformId = OsVersionInfo::kPlatformOther;
    info.systemName = std::string(sysname);

    std::string_view rest = release;
    std::uint32_t* const numbers[] = {&info.majorVersion, &info.minorVersion, &info.buildNumber};
    for (std::size_t i = 0; i < 3; ++i) {
        std::string_view attempt = rest;
        if (i > 0) {
            // The numbers after the first follow a dot: "6.1.0".
            if (attempt.empty() || attempt.front() != '.') {
                break;
            }
            attempt.remove_prefix(1);
        }
        if (!takeNumber(attempt, *numbers[i])) {
            break;
        }
        rest = attempt;
    }
    while (!rest.empty() && (rest.front() == '-' || rest.front() == '.')) {
        rest.remove_prefix(1);
    }
    info.servicePack = std::string(rest);
    return info;
}

OsVersionInfo PosixSystemVersion::query() {
    struct utsname names {};
    if (::uname(&names) != 0) {
        return fromUname("Unix", "");
    }
    return fromUname(names.sysname, names.release);
}

} // namespace lantrivex::platform::posix
