// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RawFileStreamReader.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace lantrivex::cli {
namespace {

class FileByteStream : public platform::ByteStream {
public:
    FileByteStream(std::ifstream in, std::int64_t size) : in_(std::move(in)), size_(size) {}

    std::int64_t size() override { return size_; }

    std::size_t read(std::byte* buffer, std::size_t capacity) override {
        in_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(capacity));
        return static_cast<std::size_t>(in_.gcount());
    }

private:
    std::ifstream in_;
    std::int64_t size_;
};

} // namespace

std::unique_ptr<platform::ByteStream> RawFileStreamReader::open(std::string_view path,
                                                                std::string_view /*streamName*/) {
    const std::filesystem::path file{std::string(path)};
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return nullptr;
    }
    const auto size = std::filesystem::file_size(file, error);
    if (error) {
        return nullptr;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    return std::make_unique<FileByteStream>(std::move(in), static_cast<std::int64_t>(size));
}

} // namespace lantrivex::cli
