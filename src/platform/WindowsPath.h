// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform {

// A path in the Windows network form \\SERVER\SHARE\rest, taken apart. Parsed the same way on
// every system, so that POSIX builds can resolve such paths (through the mount table or SMB).
struct UncPath {
    std::string server; // without the leading backslashes
    std::string share;  // may end in "$" (administrative share)
    std::string rest;   // below the share, separators as "\" without a leading one; may be empty
};

// Takes \\server\share[\rest] apart; "/" is accepted as a separator as Windows does. nullopt for
// any other form (a local path, \\server alone, a server or share name that is empty, "." or
// "..").
std::optional<UncPath> parseUncPath(std::string_view path);

// The folder names below a share (the `rest` of a network path), in order, the way Windows
// normalises a path before sending it: "\" and "/" separate names, empty names (doubled
// separators) and "." are dropped, ".." removes the name before it and never climbs above the
// share.
std::vector<std::string> normalisedPathParts(std::string_view rest);

// "X:" or "X:\..." with X a letter.
bool hasDriveLetter(std::string_view path) noexcept;

} // namespace lantrivex::platform
