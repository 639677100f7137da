// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"
#include "smb/SmbCredentials.h"
#include "smb/SmbShareAccess.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::smb {

// The registry of the network's machines read live through their remote registry service: the
// named pipe \winreg of the machine's IPC$ share, opened with libsmbclient (SmbSession: the
// settings, credentials and bounds of the SMB access), bound to the winreg interface. Keys are
// opened for reading only; a key asked for more is refused without asking the server. Results are
// the registry functions' codes: kRegBadNetPath when the machine cannot be reached (no server, a
// closed port, no answer within the timeout, no registry service), kRegAccessDenied for a refused
// logon or key, kRegFileNotFound for an absent key or value.
// A machine that could not be reached is not asked again until the next rebuild (beginRebuild):
// the same failure is given at once, and connectFailure() tells why (time-out, refused, unknown
// name, a server that speaks only SMB1, logon refused, access denied). Several threads may
// connect at once, each through a library context of its own; a machine asked by one thread
// while another is connecting to it waits for that answer rather than asking again. A machine
// reached is not probed again meanwhile (each probe costs the server a connection of its own). The
// connection is held by the hive and its keys and released with the last of them.
class SmbRegistry final : public platform::Registry {
public:
    // With sessions of its own, made from `settings`.
    explicit SmbRegistry(SmbSettings settings);
    // With the sessions (and their settings) it shares with the share access.
    explicit SmbRegistry(std::shared_ptr<SmbSessionPool> sessions);
    ~SmbRegistry() override;
    SmbRegistry(const SmbRegistry&) = delete;
    SmbRegistry& operator=(const SmbRegistry&) = delete;

    // This computer's registry is no service of an SMB server: kRegBadNetPath.
    platform::RegistryError localMachine(std::unique_ptr<platform::RegistryHive>& hive) override;
    platform::RegistryError connect(std::string_view machineName,
                                    std::unique_ptr<platform::RegistryHive>& hive) override;
    void beginRebuild() override;
    // The credentials file's problems, told once per rebuild (or once before the first): why it
    // cannot be used (every machine is then refused, kRegAccessDenied), the lines not understood.
    std::vector<platform::RegistryProblem> takeProblems() override;

    platform::AccessFailure connectFailure(std::string_view machineName) override;

private:
    struct Failure {
        platform::RegistryError error = platform::kRegOk;
        platform::AccessFailure reason = platform::AccessFailure::None;
    };
    void tellCredentials(const SmbCredentialsFile& file);
    Failure connectLive(const std::string& machineName, bool probe,
                        std::unique_ptr<platform::RegistryHive>& hive);

    SmbSettings settings_;
    [[maybe_unused]] std::shared_ptr<SmbSessionPool> pool_; // unused without libsmbclient
    std::mutex mutex_;
    std::condition_variable answered_;
    // Machine names with letter case folded, until the next rebuild: those that failed, with the
    // failure; those reached, which need no new probe of their port; those being asked.
    std::map<std::string, Failure> failed_;
    std::set<std::string> reached_;
    std::set<std::string> asking_;
    std::vector<platform::RegistryProblem> problems_;
    bool credentialsTold_ = false;
};

} // namespace lantrivex::smb
