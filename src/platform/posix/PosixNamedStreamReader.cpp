// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixNamedStreamReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lantrivex::platform::posix {
namespace {

// A stream kept as an open file.
class FileByteStream : public ByteStream {
public:
    FileByteStream(int fd, std::int64_t size) : fd_(fd), size_(size) {}
    ~FileByteStream() override { ::close(fd_); }
    FileByteStream(const FileByteStream&) = delete;
    FileByteStream& operator=(const FileByteStream&) = delete;

    std::int64_t size() override { return size_; }

    std::size_t read(std::byte* buffer, std::size_t capacity) override {
        std::size_t done = 0;
        while (done < capacity) {
            const ssize_t n = ::read(fd_, buffer + done, capacity - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int fd_;
    std::int64_t size_;
};

// A stream held whole in memory (the value of an extended attribute).
class MemoryByteStream : public ByteStream {
public:
    explicit MemoryByteStream(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}

    std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }

    std::size_t read(std::byte* buffer, std::size_t capacity) override {
        const std::size_t n = std::min(capacity, bytes_.size() - position_);
        if (n > 0) {
            std::memcpy(buffer, bytes_.data() + position_, n);
        }
        position_ += n;
        return n;
    }

private:
    std::vector<std::byte> bytes_;
    std::size_t position_ = 0;
};

// The stream file `file` of `owner`, taken only from the file system that holds `owner`.
std::unique_ptr<ByteStream> openStreamFile(const std::string& file, const std::string& owner) {
    // O_NONBLOCK: a FIFO in the way must not hang the reader; only regular files are taken.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    struct stat ownerInfo {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::stat(owner.c_str(), &ownerInfo) != 0 || ownerInfo.st_dev != info.st_dev) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return std::make_unique<FileByteStream>(fd, static_cast<std::int64_t>(info.st_size));
}

// The largest value the kernel passes for an extended attribute (XATTR_SIZE_MAX).
constexpr ssize_t kLargestAttribute = 65536;

// The value of an extended attribute, read in a buffer of the size the system reports. A value
// that grows between the size query and the read is asked again a few times. `tooLarge` is set
// when the kernel refuses the value as larger than it passes (E2BIG; ntfs-3g's streams over
// 64 KiB), or reports such a size.
std::optional<std::vector<std::byte>> readAttribute(const std::string& path,
                                                    const std::string& name, bool& tooLarge) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0 || size > kLargestAttribute) {
            tooLarge = tooLarge || errno == E2BIG || size > kLargestAttribute;
            return std::nullopt;
        }
        std::vector<std::byte> value(static_cast<std::size_t>(size));
        if (size == 0) {
            return value;
        }
        const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE) {
            tooLarge = tooLarge || errno == E2BIG;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

PosixNamedStreamReader::PosixNamedStreamReader(smb::RemoteShareAccess* remote) : remote_(remote) {}

PosixNamedStreamReader::PosixNamedStreamReader(PathResolver resolver,
                                               smb::RemoteShareAccess* remote)
    : resolver_(std::move(resolver)), remote_(remote) {}

std::unique_ptr<ByteStream> PosixNamedStreamReader::open(std::string_view path,
                                                         std::string_view streamName) {
    return openStream(path, streamName).stream;
}

StreamOpening PosixNamedStreamReader::openStream(std::string_view path,
                                                 std::string_view streamName) {
    ResolvedPath resolved = resolver_.resolve(path);
    // The server's reason when it tells one (time-out, refused, SMB1 only, logon, access),
    // unless the mount already told why (a stream too large for it).
    const auto fromRemote = [&](AccessFailure otherwise) {
        StreamOpening opening{nullptr, AccessFailure::Unreachable};
        if (remote_ != nullptr) {
            opening = remote_->openStreamWithReason(resolved.unc, streamName);
        }
        if (!opening.stream &&
            (opening.failure == AccessFailure::Unreachable ||
             (otherwise != AccessFailure::Unreachable && otherwise != AccessFailure::None))) {
            opening.failure = otherwise;
        }
        return opening;
    };
    switch (resolved.kind) {
    case ResolvedPath::Kind::Local: {
        StreamOpening local = openLocal(resolved.localPath, streamName, resolved.shareRoot);
        if (local.stream || resolved.unc.server.empty()) {
            return local;
        }
        // Through an SMB mount: the share's server holds the stream the mount does not show.
        StreamOpening opening = fromRemote(local.failure);
        if (!opening.stream && local.failure == AccessFailure::StreamTooLarge) {
            opening.failure = local.failure; // the stream is there: why the mount cannot give it
        }
        return opening;
    }
    case ResolvedPath::Kind::Smb:
        return fromRemote(AccessFailure::Unreachable);
    case ResolvedPath::Kind::Unreachable:
        break;
    }
    return {nullptr, AccessFailure::Unreachable};
}

StreamOpening PosixNamedStreamReader::openLocal(const std::string& path,
                                                std::string_view streamName, bool mountRoot) {
    if (path.empty() || streamName.empty()) {
        return {nullptr, AccessFailure::Unreachable};
    }
    // "<folder>/" names the folder itself: its stream file is "<folder>:NAME".
    std::string base = path;
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const std::string name(streamName);

    if (!mountRoot) {
        if (auto file = openStreamFile(base + ":" + name, base)) {
            return {std::move(file), AccessFailure::None};
        }
    }
    struct stat info {};
    if (::stat(base.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        if (auto file = openStreamFile(base + (base == "/" ? ":" : "/:") + name, base)) {
            return {std::move(file), AccessFailure::None};
        }
    }
    bool tooLarge = false;
    if (auto value = readAttribute(base, "user." + name, tooLarge)) {
        return {std::make_unique<MemoryByteStream>(std::move(*value)), AccessFailure::None};
    }
    if (auto value = readAttribute(base, "user.DosStream." + name + ":$DATA", tooLarge)) {
        if (!value->empty() && value->back() == std::byte{0}) {
            value->pop_back();
        }
        return {std::make_unique<MemoryByteStream>(std::move(*value)), AccessFailure::None};
    }
    return {nullptr, tooLarge ? AccessFailure::StreamTooLarge : AccessFailure::Unreachable};
}

} // namespace lantrivex::platform::posix
