// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ShellOpen.h"

namespace lantrivex::platform::win32 {

// The shell's "Open" verb (ShellExecuteA, owned by the desktop window, no parameters, working
// folder C:\, shown normally). True when the shell accepted the text (its answer is above 32).
class Win32ShellOpen : public ShellOpen {
public:
    bool open(std::string_view target) override;
};

} // namespace lantrivex::platform::win32
