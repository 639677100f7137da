#pragma once

#include "platform/ProgramLocation.h"

#include <string_view>

namespace lantrivex::platform::posix {

// The folder of the running executable, from /proc/self/exe; the current folder when the system
// does not tell.
class PosixProgramLocation : public ProgramLocation {
public:
    std::string programFolder() override;
    char pathSeparator() const override { return '/'; }

    // The folder of a file's absolute path, without a trailing separator ("/" for a file at the
    // root).
    static std::string folderOf(std::string_view filePath);
};

} // namespace lantrivex::platform::posix
