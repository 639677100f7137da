// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform::posix {

// One SMB share that the desktop holds open through GVFS (after `gio mount smb://SERVER/SHARE`,
// or a file manager's "Connect to Server"): GVFS shows it as a folder named
// "smb-share:server=SERVER,share=SHARE" (with other fields, such as domain= and user=, in
// alphabetical order; "%XX" escapes in the values) inside its one FUSE mount.
struct GvfsShare {
    std::string server;
    std::string share;
    std::string folder; // the share's folder inside the GVFS mount
};

// GVFS's FUSE mount: the folder that LANTRIVEX_GVFS_DIR names, else $XDG_RUNTIME_DIR/gvfs, else
// /run/user/<uid>/gvfs.
std::string gvfsFolder();

// The share a folder name of the GVFS mount stands for; nullopt for any other kind of mount (an
// FTP or SFTP one, a whole server "smb-server:...") or a name without server or share.
std::optional<GvfsShare> parseGvfsShareName(std::string_view name);

// The SMB shares in `folder` (gvfsFolder() by default), sorted by folder name (the order in
// which GVFS names them); empty when there is no such folder.
std::vector<GvfsShare> readGvfsShares(const std::string& folder = gvfsFolder());

// The share //server/share among `shares` (names compared without regard to letter case).
std::optional<GvfsShare> findGvfsShare(const std::vector<GvfsShare>& shares,
                                       std::string_view server, std::string_view share);

} // namespace lantrivex::platform::posix
