#pragma once

#include <string>

namespace lantrivex::platform {

// Where the program's own files live.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;

    // The folder of the running executable, without a trailing separator, UTF-8.
    virtual std::string programFolder() = 0;

    // The separator to put between a folder and a file name on this system ("\" or "/").
    virtual char pathSeparator() const = 0;
};

} // namespace lantrivex::platform
