// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbUrl.h"

namespace lantrivex::smb {

using namespace lantrivex::platform;

namespace {

constexpr bool isKeptAsIs(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '$';
}

} // namespace

std::string percentEncodeUrlPart(std::string_view part) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(part.size());
    for (char ch : part) {
        const auto c = static_cast<unsigned char>(ch);
        if (isKeptAsIs(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

std::string buildSmbUrl(const UncPath& path, std::uint16_t port, std::string_view streamName) {
    std::string url = "smb://";
    url += percentEncodeUrlPart(path.server);
    if (port != 0) {
        url += ':';
        url += std::to_string(port);
    }
    url += '/';
    url += percentEncodeUrlPart(path.share);
    const auto parts = normalisedPathParts(path.rest);
    for (const auto& part : parts) {
        url += '/';
        url += percentEncodeUrlPart(part);
    }
    if (!streamName.empty()) {
        if (parts.empty()) {
            url += '/'; // the root folder of the share has no name to carry the stream
        }
        url += ':';
        url += percentEncodeUrlPart(streamName);
    }
    return url;
}

} // namespace lantrivex::smb
