// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace lantrivex::discovery {

// The Macintosh file server product whose registry locations are read: the setting "ServeurMac".
// 0 Microsoft Services for Macintosh (MacFile), 1 Cyan Software MacServerIP, 2 Intergraph
// ExtremeZ-IP; any other value acts as 0.
using ProductCode = std::int16_t;

inline constexpr ProductCode kProductMacFile = 0;
inline constexpr ProductCode kProductMacServerIP = 1;
inline constexpr ProductCode kProductExtremeZIP = 2;

// 1 and 2 stay, every other code is 0.
constexpr ProductCode effectiveProduct(ProductCode code) noexcept {
    return (code == kProductMacServerIP || code == kProductExtremeZIP) ? code : kProductMacFile;
}

// The product's registry locations under HKEY_LOCAL_MACHINE.
struct ProductKeys {
    std::string_view serverKey;  // holds the value "ServerName"
    std::string_view volumesKey; // one value per Macintosh volume
};
ProductKeys productKeys(ProductCode code) noexcept;

// The caption of the product's menu item (the same in both languages).
std::string_view productCaption(ProductCode code) noexcept;

// The name of the server-name value and the marker of a volume's root entry.
inline constexpr std::string_view kServerNameValue = "ServerName";
inline constexpr std::string_view kPathMarker = "Path=";

} // namespace lantrivex::discovery
