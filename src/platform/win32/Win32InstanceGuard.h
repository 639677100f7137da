// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/InstanceGuard.h"
#include "platform/win32/UniqueHandle.h"

#include <string>

namespace lantrivex::platform::win32 {

// One instance per user session through a named mutex in the session's namespace ("Local\..."):
// the first instance creates it and holds it until it ends, in any way; a later one finds it.
class Win32InstanceGuard : public InstanceGuard {
public:
    static constexpr const char* kDefaultName = "Local\\Lantrivex.SingleInstance";

    explicit Win32InstanceGuard(std::string mutexName = kDefaultName)
        : name_(std::move(mutexName)) {}

    bool anotherInstanceRunning() override;

private:
    std::string name_;
    UniqueHandle mutex_; // held once this process has the place
};

} // namespace lantrivex::platform::win32
