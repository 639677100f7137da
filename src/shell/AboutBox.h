// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace lantrivex::shell {

// The maker's web address: shown as a host name, opened as a full URL.
inline constexpr std::string_view kMakerHost = "www.lantrivex.example";
inline constexpr std::string_view kMakerUrl = "http://www.lantrivex.example/";

// Every text of the About box in one language (lines separated by CR LF).
struct AboutBoxTexts {
    std::string title;
    std::string lblCredit; // the product line, CR LF, the count of known signatures
    std::string lblLink;   // the maker's host name
    std::string linkUrl;   // what a click on the link opens
    std::string lblServeur;
    std::string lblServeurMac;
    std::string lblVolumeMac;
    std::string lblVolumeMacErr;
    std::string cmdOK;
};

// The About box's texts for the language flag and the number of rows of the signature table.
AboutBoxTexts aboutBoxTexts(LanguageFlag nLangue, std::size_t signatureCount);

} // namespace lantrivex::shell
