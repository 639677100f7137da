// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/ProfileFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::shell {

// Names of the settings file, its sections and its keys.
inline constexpr std::string_view kSettingsFileName = "Lantrivex.ini";
inline constexpr std::string_view kSectionPositions = "Positions";
inline constexpr std::string_view kSectionConfiguration = "Configuration";
inline constexpr std::string_view kKeyWindowState = "WindowState";
inline constexpr std::string_view kKeyLeft = "Left";
inline constexpr std::string_view kKeyTop = "Top";
inline constexpr std::string_view kKeyWidth = "Width";
inline constexpr std::string_view kKeyHeight = "Height";
inline constexpr std::string_view kKeySizeBarVLeft = "SizeBarVLeft";
inline constexpr std::string_view kKeyLangue = "Langue";
inline constexpr std::string_view kKeyServeurMac = "ServeurMac";

// The reply buffer of a settings read holds 255 characters with its terminating NUL.
inline constexpr std::size_t kSettingsReplyChars = 255;

// Window states as the file stores them.
inline constexpr std::int32_t kWindowNormal = 0;
inline constexpr std::int32_t kWindowMinimized = 1;
inline constexpr std::int32_t kWindowMaximized = 2;

// The leading decimal number of a text: optional blanks, optional sign, digits, optional decimal
// point and fraction ("12abc" -> 12, "-1.5x" -> -1.5, ".5" -> 0.5). 0 when the text does not begin
// with a number ("abc", "", "-", "."); +-infinity when the digits exceed a double.
double leadingNumber(std::string_view text) noexcept;

// What a settings reply means: nullopt when the reply is empty (the default applies), otherwise
// its leading number rounded to the nearest integer with halves to even ("1234.5" -> 1234,
// "1235.5" -> 1236, "abc" -> 0).
std::optional<double> settingValue(std::string_view reply) noexcept;

// The six "Positions" values. Left, Top, Width and Height are the window's outer position and size
// in twips.
struct WindowPlacement {
    std::int32_t windowState = kWindowNormal;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t sizeBarVLeft = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Lantrivex.ini, read and written one key at a time through the profile-file service. Values that
// the file never holds in use (a "Positions" value outside the 32-bit range, a "Configuration"
// value outside the 16-bit range, a window state other than 0, 1 and 2) read as their default.
// Writes are not checked: a read-only folder loses the values silently.
class Settings {
public:
    Settings(platform::ProfileFile& profiles, std::string filePath)
        : profiles_(profiles), filePath_(std::move(filePath)) {}

    const std::string& filePath() const noexcept { return filePath_; }

    // The six "Positions" keys, read in the file's order, each falling back to its default.
    WindowPlacement readPositions(const WindowPlacement& defaults);

    // "Configuration"/"Langue", default 0.
    LanguageFlag readLangue();

    // "Configuration"/"ServeurMac", default 0.
    std::int16_t readServeurMac();

    void writePositions(const WindowPlacement& placement);
    void writeLangue(LanguageFlag nLangue);
    void writeServeurMac(std::int16_t code);

    // One key as a 32-bit or a 16-bit value (the default when absent, empty or out of range).
    std::int32_t readInt32(std::string_view section, std::string_view key, std::int32_t fallback);
    std::int16_t readInt16(std::string_view section, std::string_view key, std::int16_t fallback);

    // One key written as decimal text without a leading blank.
    void writeInteger(std::string_view section, std::string_view key, std::int64_t value);

private:
    platform::ProfileFile& profiles_;
    std::string filePath_;
};

} // namespace lantrivex::shell
