// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32InstanceGuard.h"

namespace lantrivex::platform::win32 {

bool Win32InstanceGuard::anotherInstanceRunning() {
    if (mutex_.valid()) {
        return false; // this process holds the place already
    }
    UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, name_.c_str()));
    const DWORD error = ::GetLastError();
    if (!mutex.valid()) {
        // The name exists but belongs to another security context: an instance is there.
        return error == ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        return true;
    }
    mutex_ = std::move(mutex);
    return false;
}

} // namespace lantrivex::platform::win32
