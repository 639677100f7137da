// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/InstanceGuard.h"

namespace lantrivex::fakes {

struct FakeInstanceGuard : platform::InstanceGuard {
    bool otherRunning = false;
    bool anotherInstanceRunning() override { return otherRunning; }
};

} // namespace lantrivex::fakes
