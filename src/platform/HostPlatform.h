// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <memory>

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

} // namespace lantrivex::platform
