// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixPlatform.h"

#include "platform/posix/SmbRegistry.h"
#include "platform/posix/SmbShareAccess.h"

namespace lantrivex::platform::posix {

// The SMB access is made first and goes last (member order): the stream reader and the folder
// probe hand it every share that no mount covers. Its settings come from the environment
// (LANTRIVEX_SMB_*); its library context is created on the first such share only.
PosixPlatform::PosixPlatform()
    : remote_(makeSmbShareAccess()), streams_(remote_.get()), folders_(remote_.get()),
      registry_(RegFileRegistry(RegFileRegistry::defaultFolder(location_.settingsFolder()),
                                shortHostName().value_or("")),
                smbAccessBuiltIn() ? std::make_unique<SmbRegistry>(SmbSettings::fromEnvironment())
                                   : nullptr) {}

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
