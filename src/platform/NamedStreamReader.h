#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace lantrivex::platform {

// One opened named stream, read forward from its start.
class ByteStream {
public:
    virtual ~ByteStream() = default;

    // Length of the stream in bytes as the system reports it; -1 when it cannot be told.
    virtual std::int64_t size() = 0;

    // Reads up to `capacity` bytes at the current position into `buffer`. Returns how many were
    // read: fewer than asked at the end of the stream, 0 at the end or on a read error.
    virtual std::size_t read(std::byte* buffer, std::size_t capacity) = 0;
};

// Reads the named data streams of files and folders (NTFS alternate data streams, and what stands
// for them elsewhere).
class NamedStreamReader {
public:
    virtual ~NamedStreamReader() = default;

    // Opens the stream `streamName` of the file or folder at `path` for reading only. `path` is in
    // Windows form (\\SERVER\SHARE\folder, D:\folder) or a local path of this system; texts are
    // UTF-8. Returns nullptr when the stream cannot be opened, for whatever reason.
    virtual std::unique_ptr<ByteStream> open(std::string_view path, std::string_view streamName) = 0;
};

} // namespace lantrivex::platform
