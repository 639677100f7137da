// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFolderProbe.h"

#include <algorithm>
#include <dirent.h>
#include <utility>

namespace lantrivex::platform::posix {
namespace {

bool isListableFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    ::closedir(dir);
    return true;
}

} // namespace

PosixFolderProbe::PosixFolderProbe(smb::RemoteShareAccess* remote) : remote_(remote) {}

PosixFolderProbe::PosixFolderProbe(PathResolver resolver, smb::RemoteShareAccess* remote)
    : resolver_(std::move(resolver)), remote_(remote) {}

void PosixFolderProbe::beginSeries() {
    series_.emplace(Series{resolver_.snapshot(), readGvfsShares()});
}

void PosixFolderProbe::endSeries() {
    series_.reset();
}

bool PosixFolderProbe::folderExists(std::string_view path) {
    const ResolvedPath resolved = (series_ ? series_->resolver : resolver_).resolve(path);
    switch (resolved.kind) {
    case ResolvedPath::Kind::Local:
        return isListableFolder(resolved.localPath);
    case ResolvedPath::Kind::Smb: {
        std::vector<GvfsShare> read;
        const std::vector<GvfsShare>& shares = series_ ? series_->gvfs : (read = readGvfsShares());
        if (const auto gvfs = findGvfsShare(shares, resolved.unc.server, resolved.unc.share)) {
            std::string folder = gvfs->folder;
            if (!resolved.unc.rest.empty()) {
                folder += '/' + resolved.unc.rest;
                std::replace(folder.begin() + static_cast<std::ptrdiff_t>(gvfs->folder.size()),
                             folder.end(), '\\', '/');
            }
            return isListableFolder(folder);
        }
        return remote_ != nullptr && remote_->folderExists(resolved.unc);
    }
    case ResolvedPath::Kind::Unreachable:
        break;
    }
    return false;
}

} // namespace lantrivex::platform::posix
