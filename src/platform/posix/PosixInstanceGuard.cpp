// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixInstanceGuard.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::platform::posix {

std::string PosixInstanceGuard::defaultLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        struct stat info {};
        if (::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()) {
            return std::string(runtime) + "/lantrivex.lock";
        }
    }
    return "/tmp/lantrivex-" + std::to_string(::getuid()) + ".lock";
}

PosixInstanceGuard::PosixInstanceGuard() : PosixInstanceGuard(defaultLockPath()) {}

PosixInstanceGuard::PosixInstanceGuard(std::string lockPath) : lockPath_(std::move(lockPath)) {}

PosixInstanceGuard::~PosixInstanceGuard() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool PosixInstanceGuard::anotherInstanceRunning() {
    if (fd_ >= 0) {
        return false; // this process holds the place already
    }
    // O_NOFOLLOW: in a shared /tmp a link planted under the lock's name is not followed.
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    fd_ = fd;
    return false;
}

} // namespace lantrivex::platform::posix
