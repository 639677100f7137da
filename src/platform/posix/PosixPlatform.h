#pragma once

#include "platform/Platform.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/PosixProfileFile.h"
#include "platform/posix/PosixProgramLocation.h"
#include "platform/posix/PosixSystemVersion.h"

namespace lantrivex::platform::posix {

// Every operating-system service of a POSIX system, owned in one place, and the bundle of
// interfaces the program is given. Lives as long as the program.
class PosixPlatform {
public:
    PosixPlatform();
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    Platform& bundle() noexcept { return bundle_; }

private:
    PosixNamedStreamReader streams_;
    PosixFolderProbe folders_;
    PosixProfileFile profiles_;
    PosixSystemVersion version_;
    PosixFileSystem files_;
    PosixProgramLocation location_;
    PosixInstanceGuard instance_;
    Platform bundle_;
};

} // namespace lantrivex::platform::posix
