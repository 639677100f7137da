// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <mutex>
#include <string>
#include <string_view>

namespace lantrivex::regfile {

// The registry of this computer and of the network's machines, read from registry exports: one
// file per machine, named after it (NTSRV.reg: found by exact name first, then without regard to
// letter case), in the registry folder. A machine without a file, or whose file is not a
// well-formed export, cannot be reached. Read only: keys opened for more than reading are refused.
class RegFileRegistry : public platform::Registry {
public:
    // `folder`: the registry folder; `localName`: this computer's name (its file is read for the
    // local registry, as for any other machine).
    RegFileRegistry(std::string folder, std::string localName);
    RegFileRegistry(RegFileRegistry&& other) noexcept;

    // The folder that LANTRIVEX_REGISTRY_DIR names, else "Registry" in `programFolder`.
    static std::string defaultFolder(std::string_view programFolder);

    // The file of `machineName`, or "" when there is none (or the name cannot be a file name).
    std::string machineFile(std::string_view machineName) const;

    platform::RegistryError localMachine(std::unique_ptr<platform::RegistryHive>& hive) override;
    platform::RegistryError connect(std::string_view machineName,
                                    std::unique_ptr<platform::RegistryHive>& hive) override;
    // The registry in the export `file` (as machineFile() names it; "": none).
    platform::RegistryError connectFile(const std::string& file,
                                        std::unique_ptr<platform::RegistryHive>& hive);

    const std::string& folder() const noexcept { return folder_; }
    const std::string& localName() const noexcept { return localName_; }

    // Exports that are there but unreadable or damaged, sorted by file.
    std::vector<platform::RegistryProblem> takeProblems() override;
    // A machine whose export is there could not be read for its damage; without one, it cannot
    // be reached.
    platform::AccessFailure connectFailure(std::string_view machineName) override;

private:
    void keepProblem(platform::RegistryProblem problem);

    std::string folder_;
    std::string localName_;
    std::mutex mutex_; // guards problems_: machines are asked side by side
    std::vector<platform::RegistryProblem> problems_; // each file once, at most kMaxProblems
    static constexpr std::size_t kMaxProblems = 1000;
};

} // namespace lantrivex::regfile
