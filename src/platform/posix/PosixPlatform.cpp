#include "platform/posix/PosixPlatform.h"

namespace lantrivex::platform::posix {

PosixPlatform::PosixPlatform() : streams_(remote_.get()), folders_(remote_.get()) {}

PosixPlatform::~PosixPlatform() = default;

Platform PosixPlatform::platform() {
    return Platform{streams_,  folders_,  profiles_,    version_, files_,
                    location_, registry_, connections_, drives_};
}

} // namespace lantrivex::platform::posix
