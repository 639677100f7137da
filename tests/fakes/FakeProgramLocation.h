#pragma once

#include "platform/ProgramLocation.h"

#include <string>

namespace lantrivex::fakes {

// The program's folder as the test sets it.
class FakeProgramLocation : public platform::ProgramLocation {
public:
    std::string programFolder() override { return folder; }
    char pathSeparator() const override { return separator; }

    std::string folder = "/opt/lantrivex";
    char separator = '/';
};

} // namespace lantrivex::fakes
