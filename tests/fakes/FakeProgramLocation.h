#pragma once

#include "platform/ProgramLocation.h"

#include <string>

namespace lantrivex::fakes {

class FakeProgramLocation : public platform::ProgramLocation {
public:
    std::string programFolder() override { return folder; }
    char pathSeparator() const override { return '/'; }

    std::string folder = "/opt/lantrivex";
};

} // namespace lantrivex::fakes
