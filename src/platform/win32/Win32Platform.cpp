#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace lantrivex::platform::win32 {

Win32Platform::Win32Platform() {
    for (FILE* stream : {stdout, stderr}) {
        std::fflush(stream);
        ::_setmode(::_fileno(stream), _O_BINARY);
    }
    consoleCodePage_ = ::GetConsoleOutputCP();
    if (consoleCodePage_ != 0) {
        ::SetConsoleOutputCP(CP_UTF8);
    }
}

Win32Platform::~Win32Platform() {
    if (consoleCodePage_ != 0) {
        ::SetConsoleOutputCP(consoleCodePage_);
    }
}

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
