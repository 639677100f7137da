// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PathResolver.h"

#include <utility>

namespace lantrivex::platform::posix {
namespace {

// The rest of a network path below its share, normalised, its names joined by "\".
std::string normalisedRest(std::string_view rest) {
    std::string out;
    for (const std::string& part : normalisedPathParts(rest)) {
        if (!out.empty()) {
            out.push_back('\\');
        }
        out += part;
    }
    return out;
}

} // namespace

PathResolver::PathResolver(std::vector<MountEntry> table) : mounts_(std::move(table)) {}

ResolvedPath PathResolver::resolve(std::string_view path) const {
    if (mounts_) {
        return resolvePath(path, *mounts_);
    }
    // Only network paths need the table.
    if (!parseUncPath(path)) {
        return resolvePath(path, SmbMountIndex({}));
    }
    return resolvePath(path, SmbMountIndex(readMountTable()));
}

PathResolver PathResolver::snapshot() const {
    return mounts_ ? *this : PathResolver(readMountTable());
}

ResolvedPath resolvePath(std::string_view path, const std::vector<MountEntry>& table) {
    return resolvePath(path, SmbMountIndex(table));
}

ResolvedPath resolvePath(std::string_view path, const SmbMountIndex& mounts) {
    ResolvedPath resolved;
    if (std::optional<UncPath> unc = parseUncPath(path)) {
        resolved.unc = std::move(*unc);
        resolved.unc.rest = normalisedRest(resolved.unc.rest);
        if (const MountEntry* mount = mounts.find(resolved.unc.server, resolved.unc.share)) {
            resolved.kind = ResolvedPath::Kind::Local;
            resolved.localPath = mount->mountPoint;
            resolved.shareRoot = resolved.unc.rest.empty();
            if (!resolved.shareRoot) {
                if (resolved.localPath.empty() || resolved.localPath.back() != '/') {
                    resolved.localPath.push_back('/');
                }
                for (char c : resolved.unc.rest) {
                    resolved.localPath.push_back(c == '\\' ? '/' : c);
                }
            }
        } else {
            resolved.kind = ResolvedPath::Kind::Smb;
        }
        return resolved;
    }
    if (hasDriveLetter(path)) {
        resolved.kind = ResolvedPath::Kind::Unreachable;
        return resolved;
    }
    resolved.kind = ResolvedPath::Kind::Local;
    resolved.localPath = std::string(path);
    return resolved;
}

} // namespace lantrivex::platform::posix
