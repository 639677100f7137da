// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>
#include <vector>

namespace lantrivex::platform {

// Every service of the system the program runs on, owned in one place. The build picks the one
// implementation of makeHostPlatform() for the target system; the window program and the
// command-line reader call it once and pass platform() down.
class HostPlatform {
public:
    virtual ~HostPlatform() = default;
    virtual Platform platform() = 0;
};

std::unique_ptr<HostPlatform> makeHostPlatform();

// The program's arguments after its name, in UTF-8. `argc` and `argv` are main's; on Windows,
// where they are in the ANSI code page, the arguments are read again from the wide command line.
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace lantrivex::platform
