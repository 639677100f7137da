// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/MountTable.h"

#include "common/LetterCase.h"
#include "platform/WindowsPath.h"
#include "platform/posix/io/PosixFileIo.h"

#include <cstdlib>

namespace lantrivex::platform::posix {
namespace {

// Undoes the octal escapes (\ooo) that the kernel writes for blanks and backslashes.
std::string unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

} // namespace

std::string mountTablePath() {
    const char* configured = std::getenv("LANTRIVEX_MOUNTS");
    return (configured && *configured) ? std::string(configured) : std::string("/proc/self/mounts");
}

std::vector<MountEntry> parseMountTable(std::string_view text) {
    std::vector<MountEntry> table;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::vector<std::string_view> fields;
        std::size_t pos = 0;
        while (pos < line.size()) {
            while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
                ++pos;
            }
            if (pos >= line.size()) {
                break;
            }
            const std::size_t fieldEnd = line.find_first_of(" \t", pos);
            const std::size_t stop = fieldEnd == std::string_view::npos ? line.size() : fieldEnd;
            fields.push_back(line.substr(pos, stop - pos));
            pos = stop;
        }
        if (fields.size() < 3 || fields[0].front() == '#') {
            continue;
        }
        table.push_back(MountEntry{unescape(fields[0]), unescape(fields[1]), unescape(fields[2]),
                                   fields.size() > 3 ? unescape(fields[3]) : std::string()});
    }
    return table;
}

std::vector<MountEntry> readMountTable() {
    const WholeFile file = readWholeFile(mountTablePath());
    return file.status == WholeFile::Status::Read ? parseMountTable(file.bytes)
                                                  : std::vector<MountEntry>();
}

bool isSmbMount(const MountEntry& entry) noexcept {
    return entry.fsType == "cifs" || entry.fsType == "smb3" || entry.fsType == "smbfs";
}

namespace {

// The share that a whole-share SMB mount stands for, as "server\share" folded to small letters;
// nullopt for any other entry. The source is //server/share, possibly with a path below the share
// (//srv/share/sub): only whole-share mounts stand for the share itself.
std::optional<std::string> shareKey(const MountEntry& entry) {
    if (!isSmbMount(entry)) {
        return std::nullopt;
    }
    const std::optional<UncPath> source = parseUncPath(entry.source);
    if (!source || !source->rest.empty()) {
        return std::nullopt;
    }
    return foldLetterCase(source->server) + '\\' + foldLetterCase(source->share);
}

std::string shareKey(std::string_view server, std::string_view share) {
    return foldLetterCase(server) + '\\' + foldLetterCase(share);
}

} // namespace

std::optional<MountEntry> findSmbMount(const std::vector<MountEntry>& table,
                                       std::string_view server, std::string_view share) {
    const std::string wanted = shareKey(server, share);
    std::optional<MountEntry> found;
    for (const MountEntry& entry : table) {
        if (shareKey(entry) == wanted) {
            found = entry;
        }
    }
    return found;
}

SmbMountIndex::SmbMountIndex(std::vector<MountEntry> table) : table_(std::move(table)) {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (std::optional<std::string> key = shareKey(table_[i])) {
            byShare_.insert_or_assign(std::move(*key), i); // the last mount hides the others
        }
    }
}

const MountEntry* SmbMountIndex::find(std::string_view server, std::string_view share) const {
    const auto it = byShare_.find(shareKey(server, share));
    return it == byShare_.end() ? nullptr : &table_[it->second];
}

} // namespace lantrivex::platform::posix
