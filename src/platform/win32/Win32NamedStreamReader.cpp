// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32NamedStreamReader.h"

#include "platform/win32/AnsiCodePage.h"

#include <algorithm>

namespace lantrivex::platform::win32 {

FileByteStream::FileByteStream(UniqueHandle file) : file_(std::move(file)) {
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file_.get(), &size)) {
        size_ = size.QuadPart;
    }
}

std::size_t FileByteStream::read(std::byte* buffer, std::size_t capacity) {
    constexpr std::size_t kLargestPiece = std::size_t{1} << 30;
    std::size_t done = 0;
    while (done < capacity) {
        const auto wanted = static_cast<DWORD>(std::min(capacity - done, kLargestPiece));
        DWORD got = 0;
        if (!::ReadFile(file_.get(), buffer + done, wanted, &got, nullptr) || got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

std::unique_ptr<FileByteStream> FileByteStream::open(const std::string& ansiPath) {
    UniqueHandle file(::CreateFileA(ansiPath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return nullptr;
    }
    return std::make_unique<FileByteStream>(std::move(file));
}

std::unique_ptr<ByteStream> Win32NamedStreamReader::open(std::string_view path,
                                                         std::string_view streamName) {
    if (path.empty() || streamName.empty()) {
        return nullptr;
    }
    std::string name(path);
    name.append(1, ':').append(streamName);
    const auto ansi = toAnsi(name);
    if (!ansi || ansi->find('\0') != std::string::npos) {
        return nullptr;
    }
    return FileByteStream::open(*ansi);
}

} // namespace lantrivex::platform::win32
