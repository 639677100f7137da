// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixProgramLocation.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace lantrivex::platform::posix {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSignaturesFileName = "Signatures.txt";

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

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

std::string PosixProgramLocation::settingsFolder() {
    if (!settingsFolder_) {
        const std::string program = programFolder();
        settingsFolder_ = chooseSettingsFolder(
            program, ::access(program.c_str(), W_OK) == 0,
            userSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    }
    return *settingsFolder_;
}

std::string PosixProgramLocation::bundledFolder(std::string_view programFolder) {
    return folderOf(programFolder) + "/share/lantrivex";
}

std::string PosixProgramLocation::userSettingsFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/lantrivex";
    }
    if (home && home[0] != '\0') {
        return std::string(home) + "/.config/lantrivex";
    }
    return "";
}

std::string PosixProgramLocation::chooseSettingsFolder(const std::string& programFolder,
                                                       bool programFolderWritable,
                                                       const std::string& userFolder) {
    const std::string bundled = bundledFolder(programFolder);
    const bool installed = isFile(bundled + '/' + kSignaturesFileName);
    if (!installed && programFolderWritable) {
        return programFolder;
    }
    const std::string source = installed ? bundled : programFolder;
    if (!userFolder.empty() &&
        prepareSettingsFolder(userFolder, source + '/' + kSignaturesFileName)) {
        return userFolder;
    }
    return source;
}

bool PosixProgramLocation::prepareSettingsFolder(const std::string& folder,
                                                 const std::string& signatures) {
    std::error_code error;
    if (fs::create_directories(folder, error)) {
        fs::permissions(folder, fs::perms::owner_all, error);
    }
    if (!fs::is_directory(folder, error)) {
        return false;
    }
    const std::string target = folder + '/' + kSignaturesFileName;
    if (fs::exists(fs::symlink_status(target, error)) || !isFile(signatures)) {
        return true;
    }
    const std::string partial = target + ".new-" + std::to_string(::getpid());
    if (fs::copy_file(signatures, partial, fs::copy_options::overwrite_existing, error)) {
        fs::rename(partial, target, error);
        if (!error) {
            return true;
        }
    }
    fs::remove(partial, error);
    return false;
}

} // namespace lantrivex::platform::posix
