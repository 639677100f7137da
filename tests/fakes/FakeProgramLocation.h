// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLocation.h"

namespace lantrivex::fakes {

struct FakeProgramLocation : platform::ProgramLocation {
    std::string folder = "/opt/lantrivex";
    std::string programFolder() override { return folder; }
    char pathSeparator() const override { return '/'; }
};

} // namespace lantrivex::fakes
