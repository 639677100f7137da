#pragma once

#include "common/Ascii.h"
#include "platform/DriveList.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lantrivex::fakes {

// Drive roots with their kind codes, as set by the test.
class FakeDriveList : public platform::DriveList {
public:
    std::vector<std::pair<std::string, std::int32_t>> drives; // root, kind code
    bool mountPoints = false;
    std::vector<std::string> typeQueries; // the roots whose type was asked, as asked

    void add(std::string root, std::int32_t kind) { drives.emplace_back(std::move(root), kind); }

    std::vector<std::string> driveRoots() override {
        std::vector<std::string> roots;
        for (const auto& d : drives) {
            roots.push_back(d.first);
        }
        return roots;
    }

    // The system finds roots without regard to letter case (an exact match first).
    std::int32_t driveType(std::string_view root) override {
        typeQueries.emplace_back(root);
        for (bool exact : {true, false}) {
            for (const auto& d : drives) {
                if (exact ? d.first == root : equalsIgnoreAsciiCase(d.first, root)) {
                    return d.second;
                }
            }
        }
        return platform::kDriveNoRootDir;
    }

    bool rootsAreMountPoints() const override { return mountPoints; }
};

} // namespace lantrivex::fakes
