// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Ascii.h"
#include "platform/DriveList.h"

#include <algorithm>

namespace lantrivex::fakes {

struct FakeDriveList : platform::DriveList { // roots found exactly first, then regardless of case
    std::vector<std::pair<std::string, std::int32_t>> drives; // root, kind code
    bool mountPoints = false;
    std::vector<std::string> typeQueries; // the roots whose type was asked, as asked

    void add(std::string root, std::int32_t kind) { drives.emplace_back(std::move(root), kind); }
    std::vector<std::string> driveRoots() override {
        std::vector<std::string> roots(drives.size());
        std::transform(drives.begin(), drives.end(), roots.begin(),
                       [](auto& d) { return d.first; });
        return roots;
    }
    std::int32_t driveType(std::string_view root) override {
        typeQueries.emplace_back(root);
        auto it =
            std::find_if(drives.begin(), drives.end(), [&](auto& d) { return d.first == root; });
        if (it == drives.end()) {
            it = std::find_if(drives.begin(), drives.end(),
                              [&](auto& d) { return equalsIgnoreAsciiCase(d.first, root); });
        }
        return it == drives.end() ? platform::kDriveNoRootDir : it->second;
    }
    bool rootsAreMountPoints() const override { return mountPoints; }
};

} // namespace lantrivex::fakes
