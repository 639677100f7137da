// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderProbe.h"

namespace lantrivex::platform::win32 {

// A folder exists when a directory search for "PATH\*.*" can be started (FindFirstFileA), which
// also tells that it can be reached over the network and listed.
class Win32FolderProbe : public FolderProbe {
public:
    bool folderExists(std::string_view path) override;
};

} // namespace lantrivex::platform::win32
