#pragma once

#include "platform/InstanceGuard.h"

namespace lantrivex::fakes {

// Says whether another instance runs as the test decides.
class FakeInstanceGuard : public platform::InstanceGuard {
public:
    bool anotherInstanceRunning() override { return otherRunning; }

    bool otherRunning = false;
};

} // namespace lantrivex::fakes
