// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixPlatform.h"

#include "smb/SmbRegistry.h"
#include "smb/SmbShareAccess.h"

namespace lantrivex::platform::posix {

// The SMB sessions and access are made first and go last (member order): the stream reader and the
// folder probe hand the access every share that no mount covers, and the live registry asks
// machines through the same sessions. Their settings come from the environment (LANTRIVEX_SMB_*);
// a library context is created on the first such request only.
PosixPlatform::PosixPlatform()
    : sessions_(smb::makeSmbSessions(smb::SmbSettings::fromEnvironment())),
      remote_(sessions_ ? std::make_unique<smb::SmbShareAccess>(sessions_) : nullptr),
      streams_(remote_.get()), folders_(remote_.get()),
      registry_(regfile::RegFileRegistry(
                    regfile::RegFileRegistry::defaultFolder(location_.settingsFolder()),
                    shortHostName().value_or("")),
                sessions_ ? std::make_unique<smb::SmbRegistry>(sessions_) : nullptr) {}

PosixPlatform::~PosixPlatform() = default;

Platform PosixPlatform::platform() {
    return Platform{streams_,  folders_,  profiles_,    version_, files_, location_,
                    instance_, registry_, connections_, drives_,  shell_};
}

} // namespace lantrivex::platform::posix

namespace lantrivex::platform {

std::unique_ptr<HostPlatform> makeHostPlatform() {
    return std::make_unique<posix::PosixPlatform>();
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

} // namespace lantrivex::platform
