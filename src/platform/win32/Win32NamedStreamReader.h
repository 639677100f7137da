// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"
#include "platform/win32/UniqueHandle.h"

namespace lantrivex::platform::win32 {

// An opened file or stream, read forward in pieces (ReadFile takes at most 4 GiB less one byte at
// a time); its size is the system's 64-bit one.
class FileByteStream : public ByteStream {
public:
    explicit FileByteStream(UniqueHandle file);

    std::int64_t size() override { return size_; }
    std::size_t read(std::byte* buffer, std::size_t capacity) override;

    // Opens `ansiPath` for reading only, sharing it with every other reader and writer; nullptr
    // when it cannot be opened or is not a file on a disk (a folder, a pipe, a device).
    static std::unique_ptr<FileByteStream> open(const std::string& ansiPath);

private:
    UniqueHandle file_;
    std::int64_t size_ = -1;
};

// NTFS named streams: the stream NAME of the file or folder PATH is the file "PATH:NAME", opened
// with CreateFileA, so that names of any length the system takes (not only 128 characters) work.
// The path goes to the system as it is given, in the ANSI code page: local (D:\Mac) or network
// (\\SRV1\D$\Mac) form.
class Win32NamedStreamReader : public NamedStreamReader {
public:
    std::unique_ptr<ByteStream> open(std::string_view path, std::string_view streamName) override;
};

} // namespace lantrivex::platform::win32
