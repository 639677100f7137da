// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lantrivex::platform {

// Where the program's own files live.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;

    // The folder of the running executable, without a trailing separator, UTF-8.
    virtual std::string programFolder() = 0;

    // The folder that holds the program's own files, the settings file and the signature file,
    // without a trailing separator, UTF-8. The program's folder unless the platform keeps them
    // elsewhere.
    virtual std::string settingsFolder() { return programFolder(); }

    // The separator to put between a folder and a file name on this system ("\" or "/").
    virtual char pathSeparator() const = 0;
};

} // namespace lantrivex::platform
