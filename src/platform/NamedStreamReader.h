// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/AccessFailure.h"

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

    // Why the last read returned 0 before the end of the stream; AccessFailure::None when it
    // did not (or the stream cannot tell).
    virtual AccessFailure failure() const { return AccessFailure::None; }
};

// A stream opened, or why it could not be.
struct StreamOpening {
    std::unique_ptr<ByteStream> stream; // nullptr when it could not be opened
    AccessFailure failure = AccessFailure::None;
};

// Reads the named data streams of files and folders (NTFS alternate data streams, and what stands
// for them elsewhere).
class NamedStreamReader {
public:
    virtual ~NamedStreamReader() = default;

    // Opens the stream `streamName` of the file or folder at `path` for reading only. `path` is in
    // Windows form (\\SERVER\SHARE\folder, D:\folder) or a local path of this system; texts are
    // UTF-8. Returns nullptr when the stream cannot be opened, for whatever reason.
    virtual std::unique_ptr<ByteStream> open(std::string_view path,
                                             std::string_view streamName) = 0;

    // open(), with the reason when the stream cannot be opened (AccessFailure::Unreachable where
    // the reader cannot tell more).
    virtual StreamOpening openStream(std::string_view path, std::string_view streamName) {
        StreamOpening opening{open(path, streamName), AccessFailure::None};
        if (!opening.stream) {
            opening.failure = AccessFailure::Unreachable;
        }
        return opening;
    }
};

} // namespace lantrivex::platform
