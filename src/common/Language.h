// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ProductVersion.h"

#include <cstdint>
#include <string_view>

namespace lantrivex {

// The interface language flag nLangue: 1 means French, any other value English. Only 0 and 1 are
// ever written.
using LanguageFlag = std::int16_t;

constexpr LanguageFlag kEnglish = 0;
constexpr LanguageFlag kFrench = 1;

constexpr bool isFrench(LanguageFlag nLangue) noexcept {
    return nLangue == kFrench;
}

// The French or the English form of a text, chosen by the flag at the moment it is shown.
constexpr std::string_view tr(LanguageFlag nLangue, std::string_view french,
                              std::string_view english) noexcept {
    return isFrench(nLangue) ? french : english;
}

// The program's name, the title of every message box, and its version (the project's).
inline constexpr std::string_view kProductName = "Lantrivex";
inline constexpr std::string_view kProductVersion = LANTRIVEX_VERSION;

} // namespace lantrivex
