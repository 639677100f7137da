// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Settings.h"

#include "common/Rounding.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace lantrivex::shell {

double leadingNumber(std::string_view text) noexcept {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + start, text.data() + pos, value, std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large for a double, or a fraction too small for one (integer part all zeros).
        const std::string_view integerPart = text.substr(start, pos - start);
        const bool tiny = integerPart.substr(0, integerPart.find('.')).find_first_not_of('0') ==
                          std::string_view::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::optional<double> settingValue(std::string_view reply) noexcept {
    if (reply.empty()) {
        return std::nullopt;
    }
    return roundHalfEven(leadingNumber(reply));
}

namespace {

template <typename Int> bool fits(double value) noexcept {
    return std::isfinite(value) && value >= static_cast<double>(std::numeric_limits<Int>::min()) &&
           value <= static_cast<double>(std::numeric_limits<Int>::max());
}

} // namespace

std::int32_t Settings::readInt32(std::string_view section, std::string_view key,
                                 std::int32_t fallback) {
    const auto value = settingValue(profiles_.read(filePath_, section, key, kSettingsReplyChars));
    if (!value || !fits<std::int32_t>(*value)) {
        return fallback;
    }
    return static_cast<std::int32_t>(*value);
}

std::int16_t Settings::readInt16(std::string_view section, std::string_view key,
                                 std::int16_t fallback) {
    const auto value = settingValue(profiles_.read(filePath_, section, key, kSettingsReplyChars));
    if (!value || !fits<std::int16_t>(*value)) {
        return fallback;
    }
    return static_cast<std::int16_t>(*value);
}

WindowPlacement Settings::readPositions(const WindowPlacement& defaults) {
    WindowPlacement p;
    p.windowState = readInt32(kSectionPositions, kKeyWindowState, defaults.windowState);
    if (p.windowState < kWindowNormal || p.windowState > kWindowMaximized) {
        p.windowState = defaults.windowState;
    }
    p.left = readInt32(kSectionPositions, kKeyLeft, defaults.left);
    p.top = readInt32(kSectionPositions, kKeyTop, defaults.top);
    p.width = readInt32(kSectionPositions, kKeyWidth, defaults.width);
    p.height = readInt32(kSectionPositions, kKeyHeight, defaults.height);
    p.sizeBarVLeft = readInt32(kSectionPositions, kKeySizeBarVLeft, defaults.sizeBarVLeft);
    return p;
}

LanguageFlag Settings::readLangue() {
    return readInt16(kSectionConfiguration, kKeyLangue, kEnglish);
}

std::int16_t Settings::readServeurMac() {
    return readInt16(kSectionConfiguration, kKeyServeurMac, 0);
}

void Settings::writeInteger(std::string_view section, std::string_view key, std::int64_t value) {
    (void)profiles_.write(filePath_, section, key, std::to_string(value));
}

void Settings::writePositions(const WindowPlacement& placement) {
    writeInteger(kSectionPositions, kKeyWindowState, placement.windowState);
    writeInteger(kSectionPositions, kKeyLeft, placement.left);
    writeInteger(kSectionPositions, kKeyTop, placement.top);
    writeInteger(kSectionPositions, kKeyWidth, placement.width);
    writeInteger(kSectionPositions, kKeyHeight, placement.height);
    writeInteger(kSectionPositions, kKeySizeBarVLeft, placement.sizeBarVLeft);
}

void Settings::writeLangue(LanguageFlag nLangue) {
    writeInteger(kSectionConfiguration, kKeyLangue, nLangue);
}

void Settings::writeServeurMac(std::int16_t code) {
    writeInteger(kSectionConfiguration, kKeyServeurMac, code);
}

} // namespace lantrivex::shell
