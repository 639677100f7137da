// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/GvfsShares.h"

#include "common/Ascii.h"
#include "common/LetterCase.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

constexpr std::string_view kSharePrefix = "smb-share:";

// Undoes "%XX" escapes; a "%" not followed by two hex digits stays as it is.
std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
            hexDigitValue(text[i + 2]) >= 0) {
            out.push_back(
                static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace

std::string gvfsFolder() {
    if (const char* configured = std::getenv("LANTRIVEX_GVFS_DIR"); configured && *configured) {
        return configured;
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return std::string(runtime) + "/gvfs";
    }
    return "/run/user/" + std::to_string(::getuid()) + "/gvfs";
}

std::optional<GvfsShare> parseGvfsShareName(std::string_view name) {
    if (!name.starts_with(kSharePrefix)) {
        return std::nullopt;
    }
    name.remove_prefix(kSharePrefix.size());
    GvfsShare share;
    while (!name.empty()) {
        const std::size_t comma = name.find(',');
        const std::string_view field = name.substr(0, comma);
        name = comma == std::string_view::npos ? std::string_view{} : name.substr(comma + 1);
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = field.substr(0, equals);
        if (key == "server") {
            share.server = unescape(field.substr(equals + 1));
        } else if (key == "share") {
            share.share = unescape(field.substr(equals + 1));
        }
    }
    if (share.server.empty() || share.share.empty() ||
        share.server.find_first_of("/\\") != std::string::npos ||
        share.share.find_first_of("/\\") != std::string::npos) {
        return std::nullopt;
    }
    return share;
}

std::vector<GvfsShare> readGvfsShares(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<GvfsShare> shares;
    for (const std::string& name : names) {
        if (auto share = parseGvfsShareName(name)) {
            share->folder = (fs::path(folder) / name).string();
            shares.push_back(std::move(*share));
        }
    }
    return shares;
}

std::optional<GvfsShare> findGvfsShare(const std::vector<GvfsShare>& shares,
                                       std::string_view server, std::string_view share) {
    for (const GvfsShare& candidate : shares) {
        if (equalsIgnoreLetterCase(candidate.server, server) &&
            equalsIgnoreLetterCase(candidate.share, share)) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace lantrivex::platform::posix
