// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderProbe.h"

#include <functional>
#include <set>
#include <string>

namespace lantrivex::fakes {

struct FakeFolderProbe : platform::FolderProbe {
    std::set<std::string> folders;
    std::function<void()> onProbe; // runs at each test, on the caller's thread

    void addFolder(std::string path) { folders.insert(std::move(path)); }
    bool folderExists(std::string_view path) override {
        if (onProbe) {
            onProbe();
        }
        return folders.count(std::string(path));
    }
};

} // namespace lantrivex::fakes
