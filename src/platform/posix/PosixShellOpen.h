// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ShellOpen.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace lantrivex::platform::posix {

// Starts `program` (looked up in PATH) with `arguments` as its argv[1..], each passed as it is:
// no command interpreter sees them. The child's standard input is /dev/null. Returns the child's
// process id, or nullopt when it could not be started (the program is not found, not executable,
// or the system refuses a new process). The caller must reap the child.
std::optional<pid_t> spawnProgram(const std::string& program,
                                  const std::vector<std::string>& arguments);

// Opens web addresses and documents with the desktop's handler: `xdg-open target`, started
// detached (the program goes on at once; the opener is reaped in the background when it ends).
class PosixShellOpen : public ShellOpen {
public:
    // `opener`: the program that hands the target to the desktop (tests give another one).
    explicit PosixShellOpen(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

    bool open(std::string_view target) override;

private:
    std::string opener_;
};

} // namespace lantrivex::platform::posix
