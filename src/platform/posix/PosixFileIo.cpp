#include "platform/posix/PosixFileIo.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

std::string reason(int error) {
    return std::generic_category().message(error);
}

// Closes a descriptor once, whatever way the function is left.
class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const noexcept { return fd_; }
    // Closes now and reports the result (a write-back error may only show here).
    int close() noexcept {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The folder part and the name part of a path ("." for a bare name).
void splitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

mode_t newFileMode() {
    // The program runs its file work on one thread, so reading the umask by setting it back at
    // once does not race.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

WholeFile readWholeFile(std::string_view path, std::size_t maxBytes) {
    WholeFile result;
    const std::string p(path);
    if (p.empty() || p.find('\0') != std::string::npos) {
        return result; // no file can have such a name
    }
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return result;
        }
        result.status = WholeFile::Status::Unreadable;
        result.error = "cannot open " + p + ": " + reason(error);
        return result;
    }
    Descriptor file(fd);
    result.status = WholeFile::Status::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        result.error = "cannot examine " + p + ": " + reason(code);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = p + " is not a file";
        return result;
    }
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.error = p + " is too large";
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int code = errno;
            result.error = "cannot read " + p + ": " + reason(code);
            return result;
        }
        if (got == 0) {
            break;
        }
        // The file may grow while it is read: the limit holds for what is read, too.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.error = p + " is too large";
            return result;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.status = WholeFile::Status::Read;
    result.bytes = std::move(bytes);
    return result;
}

bool replaceFileAtomically(std::string_view path, std::string_view bytes, std::string& error) {
    std::string target(path);
    if (target.empty() || target.find('\0') != std::string::npos) {
        error = "invalid file name";
        return false;
    }
    struct stat linkInfo {};
    if (::lstat(target.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    std::string folder;
    std::string name;
    splitPath(target, folder, name);

    struct stat oldInfo {};
    const bool hadFile = ::stat(target.c_str(), &oldInfo) == 0 && S_ISREG(oldInfo.st_mode);

    std::string temp = (folder == "/" ? std::string() : folder) + "/." + name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        error = "cannot create a file in " + folder + ": " + reason(code);
        return false;
    }
    Descriptor file(fd);
    const auto fail = [&](const std::string& what, int code) {
        error = what + ": " + reason(code);
        if (file.get() >= 0) {
            file.close();
        }
        ::unlink(temp.c_str());
        return false;
    };

    const mode_t mode = hadFile ? (oldInfo.st_mode & 07777) : newFileMode();
    if (::fchmod(fd, mode) != 0) {
        const int code = errno;
        return fail("cannot set the permissions of " + temp, code);
    }
    if (!writeAll(fd, bytes)) {
        const int code = errno;
        return fail("cannot write " + temp, code);
    }
    if (::fsync(fd) != 0) {
        const int code = errno;
        return fail("cannot write " + temp + " to the disk", code);
    }
    if (file.close() != 0) {
        const int code = errno;
        return fail("cannot write " + temp, code);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int code = errno;
        return fail("cannot replace " + target, code);
    }
    // The new name is in place; flushing the folder makes the rename itself durable. Some file
    // systems cannot flush a folder, which changes nothing for the file: that is not a failure.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace lantrivex::platform::posix
