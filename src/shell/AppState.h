// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "signatures/SignatureTable.h"

#include <cstdint>
#include <string>

namespace lantrivex::shell {

// The program's shared module: the values every window reads, alive for the whole run.
struct AppState {
    // Interface language: 1 French, any other value English.
    LanguageFlag nLangue = kEnglish;

    // The signature table; its sSignaturesFile is the path of Signatures.txt.
    signatures::SignatureTable signatures;

    // Full path of Lantrivex.ini.
    std::string sSettingsFile;

    // Set by the window's start-up, cleared at the end of its first activation.
    bool FlagFirstActivation = false;

    // The stored splitter position in twips, read once at start-up.
    std::int32_t nSizeBarVLeft = 0;

    // The Macintosh file server product: 0 MacFile, 1 MacServerIP, 2 ExtremeZ-IP; any other value
    // acts as 0.
    std::int16_t nServeurMac = 0;

    std::string& sSignaturesFile() noexcept { return signatures.sSignaturesFile; }
    const std::string& sSignaturesFile() const noexcept { return signatures.sSignaturesFile; }
};

} // namespace lantrivex::shell
