#pragma once

#include "platform/ShellOpen.h"

#include <string>
#include <vector>

namespace lantrivex::fakes {

// Records every target handed to the desktop; answers with `result`.
class FakeShellOpen : public platform::ShellOpen {
public:
    bool open(std::string_view target) override {
        opened.emplace_back(target);
        return result;
    }

    std::vector<std::string> opened;
    bool result = true;
};

} // namespace lantrivex::fakes
