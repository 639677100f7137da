// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixShellOpen.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lantrivex::platform::posix {

std::optional<pid_t> spawnProgram(const std::string& program,
                                  const std::vector<std::string>& arguments) {
    if (program.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> args;
    args.reserve(arguments.size() + 1);
    args.push_back(program);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return std::nullopt;
    }
    // The opener must not read the program's input.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return std::nullopt;
    }
    // A process group of its own: a Ctrl+C meant for the program does not reach the browser.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return std::nullopt;
    }
    return pid;
}

bool PosixShellOpen::open(std::string_view target) {
    const auto pid = spawnProgram(opener_, {std::string(target)});
    if (!pid) {
        return false;
    }
    // The opener may run as long as the program it starts; a background waiter reaps it so that
    // no zombie is left, and the caller does not wait.
    std::thread([child = *pid] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

} // namespace lantrivex::platform::posix
