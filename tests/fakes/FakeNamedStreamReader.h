// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace lantrivex::fakes {

// Named streams by exact path and stream name; a stream can report a size other than its bytes.
// Streams may be opened and read from several threads at once.
struct FakeNamedStreamReader : platform::NamedStreamReader {
    struct Stream {
        std::string bytes;
        std::optional<std::int64_t> reportedSize; // nullopt: the length of `bytes`
        std::size_t maxRead = 0;                  // 0: no limit
        platform::AccessFailure failure = platform::AccessFailure::None; // told after a short read
    };
    std::map<std::pair<std::string, std::string>, Stream> streams;
    int reads = 0;
    std::vector<std::string> openedPaths;
    std::size_t largestRead = 0;  // the most bytes one read asked for
    std::function<void()> onOpen; // runs at each open, to look at the caller meanwhile
    std::mutex mutex;             // guards reads, openedPaths, largestRead
    std::function<void()> onRead; // runs before each read

    Stream& addStream(std::string path, std::string streamName, std::string bytes) {
        return streams[{std::move(path), std::move(streamName)}] =
                   Stream{std::move(bytes), std::nullopt, 0, platform::AccessFailure::None};
    }
    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view streamName) override {
        {
            const std::lock_guard lock(mutex);
            openedPaths.emplace_back(path);
        }
        if (onOpen) {
            onOpen();
        }
        const auto it = streams.find({std::string(path), std::string(streamName)});
        return it == streams.end() ? nullptr : std::make_unique<OpenStream>(*this, it->second);
    }

    struct OpenStream : platform::ByteStream {
        OpenStream(FakeNamedStreamReader& o, const Stream& s) : owner(o), stream(s) {}
        std::int64_t size() override {
            return stream.reportedSize.value_or(static_cast<std::int64_t>(stream.bytes.size()));
        }
        std::size_t read(std::byte* buffer, std::size_t capacity) override {
            if (owner.onRead) {
                owner.onRead();
            }
            {
                const std::lock_guard lock(owner.mutex);
                ++owner.reads;
                owner.largestRead = std::max(owner.largestRead, capacity);
            }
            const std::size_t n = std::min({capacity, stream.bytes.size() - position,
                                            stream.maxRead ? stream.maxRead : capacity});
            std::memcpy(buffer, stream.bytes.data() + position, n);
            position += n;
            return n;
        }
        platform::AccessFailure failure() const override { return stream.failure; }
        FakeNamedStreamReader& owner;
        const Stream& stream;
        std::size_t position = 0;
    };
};

} // namespace lantrivex::fakes
