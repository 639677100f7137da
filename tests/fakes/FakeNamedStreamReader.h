#pragma once

#include "platform/NamedStreamReader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lantrivex::fakes {

// Named streams held in memory, found by path and stream name exactly as given. A stream can
// report a size other than the bytes it holds (a short read when it claims more), can hand out
// at most `maxRead` bytes per read, and every open and read is counted.
class FakeNamedStreamReader : public platform::NamedStreamReader {
public:
    struct Stream {
        std::string bytes;
        std::optional<std::int64_t> reportedSize; // nullopt: the length of `bytes`
        std::size_t maxRead = 0;                  // 0: no limit
    };

    Stream& addStream(std::string path, std::string streamName, std::string bytes) {
        Stream& stream = streams[{std::move(path), std::move(streamName)}];
        stream = Stream{std::move(bytes), std::nullopt, 0};
        return stream;
    }

    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view streamName) override {
        ++opens;
        openedPaths.emplace_back(path);
        const auto it = streams.find({std::string(path), std::string(streamName)});
        if (it == streams.end()) {
            return nullptr;
        }
        return std::make_unique<OpenStream>(*this, it->second);
    }

    std::map<std::pair<std::string, std::string>, Stream> streams;
    int opens = 0;
    int reads = 0;
    std::vector<std::string> openedPaths;
    std::vector<std::size_t> readRequests; // the capacity asked by each read
    std::size_t largestRead = 0;           // the most bytes a single read asked for

private:
    class OpenStream : public platform::ByteStream {
    public:
        OpenStream(FakeNamedStreamReader& owner, const Stream& stream)
            : owner_(owner), stream_(stream) {}

        std::int64_t size() override {
            return stream_.reportedSize.value_or(static_cast<std::int64_t>(stream_.bytes.size()));
        }

        std::size_t read(std::byte* buffer, std::size_t capacity) override {
            ++owner_.reads;
            owner_.readRequests.push_back(capacity);
            owner_.largestRead = std::max(owner_.largestRead, capacity);
            std::size_t n = std::min(capacity, stream_.bytes.size() - position_);
            if (stream_.maxRead != 0) {
                n = std::min(n, stream_.maxRead);
            }
            std::memcpy(buffer, stream_.bytes.data() + position_, n);
            position_ += n;
            return n;
        }

    private:
        FakeNamedStreamReader& owner_;
        const Stream& stream_;
        std::size_t position_ = 0;
    };
};

} // namespace lantrivex::fakes
