// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/io/PosixFileIo.h"

#include <sys/stat.h>

namespace lantrivex::platform::posix {

bool PosixFileSystem::fileExists(std::string_view path) {
    const std::string p(path);
    if (p.empty() || p.find('\0') != std::string::npos) {
        return false;
    }
    struct stat info {};
    return ::stat(p.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> PosixFileSystem::readFile(std::string_view path) {
    WholeFile file = readWholeFile(path);
    if (file.status != WholeFile::Status::Read) {
        return std::nullopt;
    }
    return std::move(file.bytes);
}

bool PosixFileSystem::replaceFile(std::string_view path, std::string_view bytes,
                                  std::string& error) {
    return replaceFileAtomically(path, bytes, error);
}

} // namespace lantrivex::platform::posix
