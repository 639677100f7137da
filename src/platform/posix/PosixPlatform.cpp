#include "platform/posix/PosixPlatform.h"

namespace lantrivex::platform::posix {

PosixPlatform::PosixPlatform()
    : bundle_{streams_, folders_, profiles_, version_, files_, location_, instance_} {}

} // namespace lantrivex::platform::posix
