// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/Platform.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::cli {

// What every command of the command-line reader works with: the platform services, the two output
// streams, and the folder of the program's own files (where Signatures.txt and Lantrivex.ini are
// looked for by default).
struct CliContext {
    platform::Platform& platform;
    std::ostream& out;
    std::ostream& err;
    std::string settingsFolder;
    char decimalSeparator = '.'; // the user's locale's, for the table output
    bool errIsTerminal = false;  // `err` is a terminal: long reads show their progress there
};

// The value of --lang: "en" or "fr"; nullopt for anything else.
inline std::optional<LanguageFlag> languageOption(std::string_view value) {
    if (value == "en") {
        return kEnglish;
    }
    if (value == "fr") {
        return kFrench;
    }
    return std::nullopt;
}

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeUnread = 1; // a volume's index was not read whole; others printed
inline constexpr int kExitUsage = 2;

} // namespace lantrivex::cli
