// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/AnsiCodePage.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32NamedStreamReader.h"
#include "platform/win32/Win32ProgramLocation.h"

#include <algorithm>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

std::optional<std::string> ansiPath(std::string_view path) {
    auto ansi = toAnsi(path);
    if (!ansi || ansi->empty() || ansi->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return ansi;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

bool Win32FileSystem::fileExists(std::string_view path) {
    const auto ansi = ansiPath(path);
    if (!ansi) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesA(ansi->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32FileSystem::readFile(std::string_view path) {
    const auto ansi = ansiPath(path);
    auto file = ansi ? FileByteStream::open(*ansi) : nullptr;
    if (!file || file->size() < 0 || static_cast<std::uint64_t>(file->size()) > kMaxWholeFileSize) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(file->size()), '\0');
    bytes.resize(file->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()));
    // A file that grew meanwhile is read to its end, within the limit.
    char more[65536];
    for (std::size_t got;
         (got = file->read(reinterpret_cast<std::byte*>(more), sizeof more)) > 0;) {
        if (bytes.size() + got > kMaxWholeFileSize) {
            return std::nullopt;
        }
        bytes.append(more, got);
    }
    return bytes;
}

bool Win32FileSystem::replaceFile(std::string_view path, std::string_view bytes,
                                  std::string& error) {
    const auto target = ansiPath(path);
    if (!target) {
        error = "invalid file name";
        return false;
    }
    const std::string folder = Win32ProgramLocation::folderOf(path);
    char temp[MAX_PATH + 1] = {};
    if (::GetTempFileNameA(toAnsi(folder).value_or("").c_str(), "lan", 0, temp) == 0) {
        error = "cannot create a file in " + folder + ": " + systemErrorText(::GetLastError());
        return false;
    }
    // On any failure the new file goes, closed first; the old one was never touched.
    const auto fail = [&](const std::string& what, DWORD code) {
        error = what + ": " + systemErrorText(code);
        ::DeleteFileA(temp);
        return false;
    };
    bool written = false;
    DWORD code = ERROR_SUCCESS;
    {
        UniqueHandle file(::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.valid() && writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
        code = written ? ERROR_SUCCESS : ::GetLastError();
    }
    if (!written) {
        return fail("cannot write " + fromAnsi(temp), code);
    }
    if (!::MoveFileExA(temp, target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return fail("cannot replace " + std::string(path), ::GetLastError());
    }
    return true;
}

} // namespace lantrivex::platform::win32
