#include "platform/posix/PosixFolderProbe.h"

#include <dirent.h>
#include <utility>

namespace lantrivex::platform::posix {

PosixFolderProbe::PosixFolderProbe(RemoteShareAccess* remote) : remote_(remote) {}

PosixFolderProbe::PosixFolderProbe(PathResolver resolver, RemoteShareAccess* remote)
    : resolver_(std::move(resolver)), remote_(remote) {}

void PosixFolderProbe::beginSeries() {
    series_.emplace(resolver_.snapshot());
}

void PosixFolderProbe::endSeries() {
    series_.reset();
}

bool PosixFolderProbe::folderExists(std::string_view path) {
    const ResolvedPath resolved = (series_ ? *series_ : resolver_).resolve(path);
    switch (resolved.kind) {
    case ResolvedPath::Kind::Local: {
        if (resolved.localPath.empty()) {
            return false;
        }
        DIR* dir = ::opendir(resolved.localPath.c_str());
        if (dir == nullptr) {
            return false;
        }
        ::closedir(dir);
        return true;
    }
    case ResolvedPath::Kind::Smb:
        return remote_ != nullptr && remote_->folderExists(resolved.unc);
    case ResolvedPath::Kind::Unreachable:
        break;
    }
    return false;
}

} // namespace lantrivex::platform::posix
