// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/io/PosixFileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <random>
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

// What a path names, in words for an error message.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISFIFO(mode)) {
        return "a pipe (FIFO)";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a regular file";
}

// The regular file that `path` names, following symbolic links, or why it may not be replaced:
// only a regular file that may be written is replaced, and a read-only file stays as it is (the
// write fails, as on Windows). `exists` is false when nothing is there yet.
bool examineTarget(std::string& path, bool& exists, struct stat& info, std::string& error) {
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) != 0) {
        const int code = errno;
        if (code == ENOENT) {
            exists = false;
            return true; // a new file
        }
        error = "cannot examine " + path + ": " + reason(code);
        return false;
    }
    exists = true;
    info = linkInfo;
    if (S_ISLNK(linkInfo.st_mode)) {
        if (::stat(path.c_str(), &info) != 0) {
            const int code = errno;
            if (code == ENOENT) {
                error = path + " is a symbolic link to nothing: it is left as it is";
            } else if (code == ELOOP) {
                error = path + " is a loop of symbolic links: it is left as it is";
            } else {
                error = "cannot follow the symbolic link " + path + ": " + reason(code);
            }
            return false;
        }
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
            const int code = errno;
            error = "cannot follow the symbolic link " + path + ": " + reason(code);
            return false;
        }
        path = resolved;
        std::free(resolved);
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + " is " + kindOf(info.st_mode) + ", not a file: it is left as it is";
        return false;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        error = path + " is read-only: it is left as it is";
        return false;
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        const int code = errno;
        error = path + " cannot be written (" + reason(code) + "): it is left as it is";
        return false;
    }
    return true;
}

// A name for the new file beside `name` in its folder, hidden, different at each call.
std::string temporaryName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const unsigned n = seed ^ (static_cast<unsigned>(::getpid()) << 12) ^ counter++;
    return "." + name + "." + std::to_string(n) + ".new";
}

} // namespace

bool writeAll(int fd, std::string_view bytes, int& error, WriteCall call) {
    while (!bytes.empty()) {
        const ssize_t written = call(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (written == 0) {
            // Nothing stored and no reason given: trying again would wait for ever.
            error = EIO;
            return false;
        }
        bytes.remove_prefix(std::min(bytes.size(), static_cast<std::size_t>(written)));
    }
    return true;
}

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
        result.systemError = error;
        return result;
    }
    Descriptor file(fd);
    result.status = WholeFile::Status::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        result.error = "cannot examine " + p + ": " + reason(code);
        result.systemError = code;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = p + " is not a file";
        return result;
    }
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.error = p + " is too large";
        result.tooLarge = true;
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
            result.systemError = code;
            return result;
        }
        if (got == 0) {
            break;
        }
        // The file may grow while it is read: the limit holds for what is read, too.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.error = p + " is too large";
            result.tooLarge = true;
            return result;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.status = WholeFile::Status::Read;
    result.bytes = std::move(bytes);
    return result;
}

namespace {

// Writes `bytes` to a new file in the folder `dir` (opened once: every step names files relative
// to it, so the folder is the same one throughout, whatever happens to its path meanwhile) and
// renames it over `name` there. With `anonymous`, the file has no name (O_TMPFILE) until it is
// whole and flushed, where the system allows it: if the program is stopped while writing, nothing
// is left behind. `folder` and `target` are the paths shown in messages.
bool writeAndRename(int dir, const std::string& folder, const std::string& target,
                    const std::string& name, mode_t mode, std::string_view bytes, bool anonymous,
                    std::string& error) {
    std::string temp;
    bool named = false;
    int fd = anonymous ? ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode) : -1;
    if (fd < 0) {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temp = temporaryName(name);
            fd = ::openat(dir, temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW,
                          mode);
            if (fd < 0 && errno != EEXIST) {
                break;
            }
        }
        if (fd < 0) {
            const int code = errno;
            error = "cannot create a file in " + folder + ": " + reason(code);
            return false;
        }
        named = true;
    }
    Descriptor file(fd);
    const auto shownTemp = [&] { return (folder == "/" ? std::string() : folder) + "/" + temp; };
    const auto fail = [&](const std::string& what, int code) {
        error = what + ": " + reason(code);
        if (file.get() >= 0) {
            file.close();
        }
        if (named) {
            ::unlinkat(dir, temp.c_str(), 0);
        }
        return false;
    };
    const std::string shown = named ? shownTemp() : "the new " + target;

    if (::fchmod(fd, mode) != 0) {
        const int code = errno;
        return fail("cannot set the permissions of " + shown, code);
    }
    int code = 0;
    if (!writeAll(fd, bytes, code)) {
        return fail("cannot write " + shown, code);
    }
    if (::fsync(fd) != 0) {
        code = errno;
        return fail("cannot write " + shown + " to the disk", code);
    }
    if (!named) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (int attempt = 0; attempt < 100 && !named; ++attempt) {
            temp = temporaryName(name);
            if (::linkat(AT_FDCWD, self.c_str(), dir, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                named = true;
            } else if (errno != EEXIST) {
                break;
            }
        }
        if (!named) {
            // No way to name an unnamed file here (no /proc): write a named one instead.
            file.close();
            return writeAndRename(dir, folder, target, name, mode, bytes, false, error);
        }
    }
    if (file.close() != 0) {
        code = errno;
        return fail("cannot write " + shownTemp(), code);
    }
    if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0) {
        code = errno;
        return fail("cannot replace " + target, code);
    }
    // The new name is in place; flushing the folder makes the rename itself durable. Some file
    // systems cannot flush a folder (nor can a folder opened only as a path), which changes nothing
    // for the file: that is not a failure.
    ::fsync(dir);
    return true;
}

} // namespace

bool replaceFileAtomically(std::string_view path, std::string_view bytes, std::string& error) {
    std::string target(path);
    if (target.empty() || target.find('\0') != std::string::npos) {
        error = "invalid file name";
        return false;
    }
    bool hadFile = false;
    struct stat oldInfo {};
    if (!examineTarget(target, hadFile, oldInfo, error)) {
        return false;
    }
    std::string folder;
    std::string name;
    splitPath(target, folder, name);
    const mode_t mode = hadFile ? (oldInfo.st_mode & 07777) : newFileMode();
    // Opened for reading where the folder may be read (so that it can be flushed), else as a path.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (dir < 0) {
        const int code = errno;
        error = "cannot open the folder " + folder + ": " + reason(code);
        return false;
    }
    Descriptor folderHandle(dir);
    return writeAndRename(dir, folder, target, name, mode, bytes, true, error);
}

} // namespace lantrivex::platform::posix
