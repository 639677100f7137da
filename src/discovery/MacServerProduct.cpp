// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/MacServerProduct.h"

namespace lantrivex::discovery {

ProductKeys productKeys(ProductCode code) noexcept {
    switch (effectiveProduct(code)) {
    case kProductMacServerIP:
        return {R"(SOFTWARE\cyan\MacServerIP)", R"(SOFTWARE\cyan\MacServerIP\Volumes)"};
    case kProductExtremeZIP:
        return {R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters)",
                R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters\Volumes)"};
    default:
        return {R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)",
                R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)"};
    }
}

std::string_view productCaption(ProductCode code) noexcept {
    switch (effectiveProduct(code)) {
    case kProductMacServerIP:
        return "Cyan Software MacServerIP";
    case kProductExtremeZIP:
        return "Intergraph ExtremeZ-IP";
    default:
        return "Microsoft SFM (MacFile)";
    }
}

} // namespace lantrivex::discovery
