// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsPath.h"

namespace lantrivex::platform {
namespace {

constexpr bool isSeparator(char c) noexcept {
    return c == '\\' || c == '/';
}

// "." and ".." are steps of a path, not names: as a server or share they would lead elsewhere.
bool isNamed(std::string_view name) noexcept {
    return !name.empty() && name != "." && name != "..";
}

} // namespace

std::optional<UncPath> parseUncPath(std::string_view path) {
    if (path.size() < 2 || !isSeparator(path[0]) || !isSeparator(path[1])) {
        return std::nullopt;
    }
    path.remove_prefix(2);
    const auto serverEnd = path.find_first_of("\\/");
    if (serverEnd == std::string_view::npos || !isNamed(path.substr(0, serverEnd))) {
        return std::nullopt;
    }
    UncPath unc;
    unc.server = std::string(path.substr(0, serverEnd));
    path.remove_prefix(serverEnd + 1);
    const auto shareEnd = path.find_first_of("\\/");
    unc.share = std::string(path.substr(0, shareEnd));
    if (!isNamed(unc.share)) {
        return std::nullopt;
    }
    if (shareEnd != std::string_view::npos) {
        std::string_view rest = path.substr(shareEnd + 1);
        while (!rest.empty() && isSeparator(rest.front())) {
            rest.remove_prefix(1);
        }
        unc.rest.reserve(rest.size());
        for (char c : rest) {
            unc.rest.push_back(c == '/' ? '\\' : c);
        }
    }
    return unc;
}

std::vector<std::string> normalisedPathParts(std::string_view rest) {
    std::vector<std::string> parts;
    while (!rest.empty()) {
        const auto end = rest.find_first_of("\\/");
        const std::string_view name = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.emplace_back(name);
    }
    return parts;
}

bool hasDriveLetter(std::string_view path) noexcept {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

} // namespace lantrivex::platform
