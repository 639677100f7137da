// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"
#include "regfile/RegFileRegistry.h"

#include <memory>
#include <string_view>
#include <vector>

namespace lantrivex::platform::posix {

// The registry of the POSIX program: a machine's export in the registry folder when there is one
// (an offline snapshot the user chose: read even when the machine answers, and a damaged one
// reads as unreachable), otherwise the machine's live registry through `live` (none: the machine
// cannot be reached). This computer's registry is its export only.
class PosixRegistry final : public Registry {
public:
    PosixRegistry(regfile::RegFileRegistry exports, std::unique_ptr<Registry> live);

    RegistryError localMachine(std::unique_ptr<RegistryHive>& hive) override;
    RegistryError connect(std::string_view machineName,
                          std::unique_ptr<RegistryHive>& hive) override;
    void beginRebuild() override;
    std::vector<RegistryProblem> takeProblems() override; // the damaged exports
    AccessFailure connectFailure(std::string_view machineName) override;

private:
    regfile::RegFileRegistry exports_;
    std::unique_ptr<Registry> live_;
};

} // namespace lantrivex::platform::posix
