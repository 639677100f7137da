#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
};

// Reads the regular file at `path` whole (following symbolic links); a folder, a device, a file
// that cannot be opened or read, or one larger than `maxBytes` is Unreadable.
WholeFile readWholeFile(std::string_view path, std::size_t maxBytes = kMaxWholeFileSize);

// Replaces the file at `path` by `bytes`: writes a temporary file in the same folder, flushes it
// to the disk, renames it over `path` and flushes the folder. A symbolic link is replaced at its
// target. An existing file's permissions are kept; a new file gets 0666 less the umask. On
// failure the temporary file is removed, the old file is untouched, and `error` tells what failed
// with the system's reason.
bool replaceFileAtomically(std::string_view path, std::string_view bytes, std::string& error);

} // namespace lantrivex::platform::posix
