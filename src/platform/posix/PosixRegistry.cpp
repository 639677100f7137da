// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixRegistry.h"

namespace lantrivex::platform::posix {

PosixRegistry::PosixRegistry(regfile::RegFileRegistry exports, std::unique_ptr<Registry> live)
    : exports_(std::move(exports)), live_(std::move(live)) {}

RegistryError PosixRegistry::localMachine(std::unique_ptr<RegistryHive>& hive) {
    return exports_.localMachine(hive);
}

RegistryError PosixRegistry::connect(std::string_view machineName,
                                     std::unique_ptr<RegistryHive>& hive) {
    const std::string file = exports_.machineFile(machineName);
    if (!file.empty() || !live_) {
        return exports_.connectFile(file, hive);
    }
    return live_->connect(machineName, hive);
}

void PosixRegistry::beginRebuild() {
    if (live_) {
        live_->beginRebuild();
    }
}

AccessFailure PosixRegistry::connectFailure(std::string_view machineName) {
    if (machineName.empty() || !live_ || !exports_.machineFile(machineName).empty()) {
        return exports_.connectFailure(machineName);
    }
    return live_->connectFailure(machineName);
}

std::vector<RegistryProblem> PosixRegistry::takeProblems() {
    std::vector<RegistryProblem> problems = exports_.takeProblems();
    if (live_) {
        for (RegistryProblem& problem : live_->takeProblems()) {
            problems.push_back(std::move(problem));
        }
    }
    return problems;
}

} // namespace lantrivex::platform::posix
