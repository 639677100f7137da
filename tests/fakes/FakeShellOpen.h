// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ShellOpen.h"

#include <string>
#include <vector>

namespace lantrivex::fakes {

struct FakeShellOpen : platform::ShellOpen {
    std::vector<std::string> opened;
    bool result = true;
    bool open(std::string_view target) override {
        opened.emplace_back(target);
        return result;
    }
};

} // namespace lantrivex::fakes
