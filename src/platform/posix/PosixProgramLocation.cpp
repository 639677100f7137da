#include "platform/posix/PosixProgramLocation.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace lantrivex::platform::posix {

std::string PosixProgramLocation::folderOf(std::string_view filePath) {
    const std::size_t slash = filePath.rfind('/');
    if (slash == std::string_view::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(filePath.substr(0, slash));
}

std::string PosixProgramLocation::programFolder() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            break;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return folderOf(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
        }
        buffer.resize(buffer.size() * 2); // the path did not fit: try again with more room
    }
    if (char* current = ::getcwd(nullptr, 0)) {
        std::string folder(current);
        std::free(current);
        return folder;
    }
    return ".";
}

} // namespace lantrivex::platform::posix
