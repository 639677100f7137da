// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unistd.h>

namespace lantrivex::platform::posix {

// Whole-file reading and atomic replacement of the program's own small files (the signatures
// file, the settings file), shared by PosixFileSystem and PosixProfileFile.

// The largest file read whole: anything bigger is not one of the program's files and is refused
// as unreadable rather than held in memory.
inline constexpr std::size_t kMaxWholeFileSize = 64u * 1024u * 1024u;

struct WholeFile {
    enum class Status {
        Read,       // `bytes` holds the whole content
        Missing,    // nothing exists at the path
        Unreadable, // something is there but cannot be read as a file (see `error`)
    };
    Status status = Status::Missing;
    std::string bytes;
    std::string error;
    int systemError = 0;   // Unreadable: the system's error, when it gave one
    bool tooLarge = false; // Unreadable: larger than the limit
};

// Reads the regular file at `path` whole (following symbolic links); a folder, a device, a file
// that cannot be opened or read, or one larger than `maxBytes` is Unreadable.
WholeFile readWholeFile(std::string_view path, std::size_t maxBytes = kMaxWholeFileSize);

// Replaces the file at `path` by `bytes`: writes a new file in the same folder (unnamed until it
// is whole where the file system allows), flushes it to the disk, renames it over `path` and
// flushes the folder. Only a regular file is replaced, a symbolic link at its target; a device, a
// pipe, a socket, a folder, a link to nothing or a loop of links is refused and left as it is, and
// so is a read-only file (no write permission), as on Windows. An existing file's permissions are
// kept; a new file gets 0666 less the umask. On failure no new file is left, the old one is
// untouched, and `error` tells what failed with the system's reason.
bool replaceFileAtomically(std::string_view path, std::string_view bytes, std::string& error);

// Writes the whole of `bytes` to `fd` through `call`, going on after short writes and interrupted
// calls. False with `error` (an errno value) on failure; a write that stores nothing at all is a
// failure (EIO) rather than a reason to try for ever.
using WriteCall = ssize_t (*)(int, const void*, std::size_t);
bool writeAll(int fd, std::string_view bytes, int& error, WriteCall call = ::write);

} // namespace lantrivex::platform::posix
