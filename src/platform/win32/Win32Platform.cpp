// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <utility>
#include <windows.h>

namespace lantrivex::platform::win32 {

Win32Platform::Win32Platform() {
    // A window program started from the desktop has no standard streams: nothing to switch.
    const std::pair<FILE*, DWORD> streams[] = {{stdout, STD_OUTPUT_HANDLE},
                                               {stderr, STD_ERROR_HANDLE}};
    for (const auto& [stream, id] : streams) {
        const HANDLE handle = ::GetStdHandle(id);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            std::fflush(stream);
            ::_setmode(::_fileno(stream), _O_BINARY);
        }
    }
}

Win32Platform::~Win32Platform() = default;

Platform Win32Platform::platform() {
    return Platform{streams_,  folders_,  profiles_,    version_, files_, location_,
                    instance_, registry_, connections_, drives_,  shell_};
}

} // namespace lantrivex::platform::win32

namespace lantrivex::platform {

std::unique_ptr<HostPlatform> makeHostPlatform() {
    return std::make_unique<win32::Win32Platform>();
}

} // namespace lantrivex::platform
