// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lantrivex::platform {

// The single-instance test of the window program.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;

    // True when another instance of the program is running for this user. The first call that
    // finds none claims the place for this process until it ends, so that a later instance sees
    // this one; a failure to tell (no lock can be created) counts as "none".
    virtual bool anotherInstanceRunning() = 0;
};

} // namespace lantrivex::platform
