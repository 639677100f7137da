// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowsPath.h"
#include "platform/posix/MountTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform::posix {

// Where a path given to the platform layer leads on this system.
struct ResolvedPath {
    enum class Kind {
        Local,       // a path of this system: `localPath`
        Smb,         // a share that no mount covers: reachable only by SMB, `unc`
        Unreachable, // a drive path (X:\...), which this system does not have
    };
    Kind kind = Kind::Unreachable;
    std::string localPath;
    // Smb: the share and the path below it. Local through an SMB mount: the share the mount
    // stands for, so that its server can be asked what the mount does not show. Otherwise empty.
    UncPath unc;
    // Local: `localPath` is the mount point itself, the share's root folder.
    bool shareRoot = false;
};

// The one place where paths are resolved. A network path \\SERVER\SHARE\rest leads, when an SMB
// mount (cifs, smb3) of //SERVER/SHARE is in the mount table (server and share compared without
// regard to letter case), to the mount point followed by the rest with "\" turned into "/". A
// network path with no such mount is left to SMB access, as its UncPath. In both cases empty, "."
// and ".." components of the rest are dropped, and ".." never leads above the share's root (a path
// that climbs above it names the root folder, the mount point itself). A drive path (X:\...)
// cannot be reached; any other path is taken as a local path, as it is.
class PathResolver {
public:
    // Reads the mount table (mountTablePath()) afresh at every resolution: shares are mounted and
    // unmounted while the program runs.
    PathResolver() = default;

    // Resolves through the given table only.
    explicit PathResolver(std::vector<MountEntry> table);

    ResolvedPath resolve(std::string_view path) const;

    // A resolver held to the mount table as it is now (one reading), for a run of resolutions;
    // a resolver given its table is its own snapshot.
    PathResolver snapshot() const;

private:
    std::optional<SmbMountIndex> mounts_;
};

// The resolution of `path` through `table`.
ResolvedPath resolvePath(std::string_view path, const std::vector<MountEntry>& table);
ResolvedPath resolvePath(std::string_view path, const SmbMountIndex& mounts);

} // namespace lantrivex::platform::posix
