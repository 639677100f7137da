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
        return streams[{std::move(path), std::move(streamName)}] =
                   Stream{std::move(bytes), std::nullopt, 0};
    }

    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view streamName) override {
        ++opens;
        openedPaths.emplace_back(path);
        const auto it = streams.find({std::string(path), std::string(streamName)});
        return it == streams.end() ? nullptr : std::make_unique<OpenStream>(*this, it->second);
    }

    std::map<std::pair<std::string, std::string>, Stream> streams;
    int opens = 0;
    int reads = 0;
    std::vector<std::string> openedPaths;
    std::size_t largestRead = 0; // the most bytes a single read asked for

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
            owner_.largestRead = std::max(owner_.largestRead, capacity);
            std::size_t n = std::min(capacity, stream_.bytes.size() - position_);
            n = stream_.maxRead != 0 ? std::min(n, stream_.maxRead) : n;
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
