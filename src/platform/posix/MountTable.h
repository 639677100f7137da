// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lantrivex::platform::posix {

// One line of a mount table in the form of /proc/self/mounts (fstab form): the octal escapes
// \040, \011, \012 and \134 are decoded.
struct MountEntry {
    std::string source;     // "//NTSRV1/D$", "/dev/sda1", "proc"
    std::string mountPoint; // "/mnt/ntsrv1-d"
    std::string fsType;     // "cifs", "smb3", "ext4", ...
    std::string options;    // "rw,relatime,..."
};

// The mount table's path: the file that LANTRIVEX_MOUNTS names, else /proc/self/mounts.
std::string mountTablePath();

// Parses a whole table; malformed lines (fewer than three fields) are skipped.
std::vector<MountEntry> parseMountTable(std::string_view text);

// Reads and parses the table at mountTablePath(); empty when it cannot be read.
std::vector<MountEntry> readMountTable();

// True for the SMB file systems (cifs, smb3).
bool isSmbMount(const MountEntry& entry) noexcept;

// The SMB mount of //server/share (names compared without regard to letter case), the last one in
// the table when several match (the one mounted last hides the others). nullopt when none.
std::optional<MountEntry> findSmbMount(const std::vector<MountEntry>& table,
                                       std::string_view server, std::string_view share);

// One reading of a mount table with its whole-share SMB mounts found in constant time: what
// findSmbMount finds, without going through the table for every path.
class SmbMountIndex {
public:
    explicit SmbMountIndex(std::vector<MountEntry> table);

    const MountEntry* find(std::string_view server, std::string_view share) const;
    const std::vector<MountEntry>& table() const noexcept { return table_; }

private:
    std::vector<MountEntry> table_;
    std::unordered_map<std::string, std::size_t> byShare_; // folded "server\share" -> entry
};

} // namespace lantrivex::platform::posix
