// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderProbe.h"
#include "platform/posix/GvfsShares.h"
#include "platform/posix/PathResolver.h"
#include "smb/RemoteShareAccess.h"

#include <optional>
#include <string_view>
#include <vector>

namespace lantrivex::platform::posix {

// A folder exists when it resolves (PathResolver) to a folder of this system that can be opened
// for listing; for a share that no mount covers, when the desktop's GVFS connection to the share
// (readGvfsShares()) lists it, or else when `remote` (if given) finds it.
class PosixFolderProbe : public FolderProbe {
public:
    explicit PosixFolderProbe(smb::RemoteShareAccess* remote = nullptr);
    explicit PosixFolderProbe(PathResolver resolver, smb::RemoteShareAccess* remote = nullptr);

    bool folderExists(std::string_view path) override;
    // A series resolves every path through one reading of the mount table and of the GVFS
    // connections.
    void beginSeries() override;
    void endSeries() override;

private:
    struct Series {
        PathResolver resolver;
        std::vector<GvfsShare> gvfs;
    };

    PathResolver resolver_;
    std::optional<Series> series_;
    smb::RemoteShareAccess* remote_;
};

} // namespace lantrivex::platform::posix
