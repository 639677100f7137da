#pragma once

#include "platform/InstanceGuard.h"

namespace lantrivex::fakes {

// Says whether another instance runs as the test decides; counts the questions.
class FakeInstanceGuard : public platform::InstanceGuard {
public:
    bool anotherInstanceRunning() override {
        ++calls;
        return otherRunning;
    }

    bool otherRunning = false;
    int calls = 0;
};

} // namespace lantrivex::fakes
