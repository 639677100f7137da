// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLocation.h"

#include <string_view>

namespace lantrivex::platform::win32 {

// The folder of the running executable, from GetModuleFileNameA; the program's own files live
// there too.
class Win32ProgramLocation : public ProgramLocation {
public:
    std::string programFolder() override;
    char pathSeparator() const override { return '\\'; }

    // The folder of a file's full path, without a trailing separator ("C:\" for a file at a drive's
    // root, "." for a bare name).
    static std::string folderOf(std::string_view filePath);
};

} // namespace lantrivex::platform::win32
