// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/InstanceGuard.h"

#include <string>

namespace lantrivex::platform::posix {

// One instance per user through an advisory lock (flock) on a per-user lock file: the lock lives
// with the open file, so the system drops it when the process ends in any way, and a lock file
// left behind by a crashed run does not block the next start.
class PosixInstanceGuard : public InstanceGuard {
public:
    // The lock file: $XDG_RUNTIME_DIR/lantrivex.lock, or /tmp/lantrivex-<uid>.lock.
    PosixInstanceGuard();
    explicit PosixInstanceGuard(std::string lockPath);
    ~PosixInstanceGuard() override;
    PosixInstanceGuard(const PosixInstanceGuard&) = delete;
    PosixInstanceGuard& operator=(const PosixInstanceGuard&) = delete;

    bool anotherInstanceRunning() override;

    const std::string& lockPath() const noexcept { return lockPath_; }

    static std::string defaultLockPath();

private:
    std::string lockPath_;
    int fd_ = -1; // open and locked once this process holds the place
};

} // namespace lantrivex::platform::posix
