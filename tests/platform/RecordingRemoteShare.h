#pragma once

#include "platform/posix/RemoteShareAccess.h"

#include <cstring>
#include <string>
#include <vector>

namespace lantrivex::platform::posix {

// Stands for SMB access: records what it is asked and answers with one fixed stream and folder.
class RecordingRemoteShare : public RemoteShareAccess {
public:
    std::unique_ptr<ByteStream> openStream(const UncPath& path,
                                           std::string_view streamName) override {
        streamsAsked.push_back(path);
        streamNames.emplace_back(streamName);
        return std::make_unique<Bytes>(content);
    }

    bool folderExists(const UncPath& path) override {
        foldersAsked.push_back(path);
        return folderAnswer;
    }

    std::string content = "remote";
    bool folderAnswer = true;
    std::vector<UncPath> streamsAsked;
    std::vector<std::string> streamNames;
    std::vector<UncPath> foldersAsked;

private:
    class Bytes : public ByteStream {
    public:
        explicit Bytes(std::string bytes) : bytes_(std::move(bytes)) {}
        std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }
        std::size_t read(std::byte* buffer, std::size_t capacity) override {
            const std::size_t n = std::min(capacity, bytes_.size() - position_);
            std::memcpy(buffer, bytes_.data() + position_, n);
            position_ += n;
            return n;
        }

    private:
        std::string bytes_;
        std::size_t position_ = 0;
    };
};

} // namespace lantrivex::platform::posix
