#pragma once

#include "platform/FolderProbe.h"

#include <set>
#include <string>
#include <vector>

namespace lantrivex::fakes {

// Folders that exist, given by path exactly as they will be asked for; every question is recorded.
class FakeFolderProbe : public platform::FolderProbe {
public:
    void addFolder(std::string path) { folders.insert(std::move(path)); }

    bool folderExists(std::string_view path) override {
        asked.emplace_back(path);
        return folders.count(std::string(path)) != 0;
    }

    std::set<std::string> folders;
    std::vector<std::string> asked;
};

} // namespace lantrivex::fakes
