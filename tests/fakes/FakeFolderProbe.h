// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderProbe.h"

#include <set>
#include <string>

namespace lantrivex::fakes {

struct FakeFolderProbe : platform::FolderProbe {
    std::set<std::string> folders;

    void addFolder(std::string path) { folders.insert(std::move(path)); }
    bool folderExists(std::string_view path) override { return folders.count(std::string(path)); }
};

} // namespace lantrivex::fakes
