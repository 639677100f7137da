// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32ProfileFile.h"

#include "platform/win32/AnsiCodePage.h"

#include <limits>
#include <vector>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

// The ANSI form of a text that may stand on one line of the file.
std::optional<std::string> lineText(std::string_view utf8) {
    if (utf8.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    return toAnsi(utf8);
}

} // namespace

std::string Win32ProfileFile::read(std::string_view filePath, std::string_view section,
                                   std::string_view key, std::size_t maxChars) {
    const auto path = lineText(filePath);
    const auto ansiSection = lineText(section);
    const auto ansiKey = lineText(key);
    if (maxChars == 0 || !path || !ansiSection || !ansiKey) {
        return {};
    }
    const auto size = static_cast<DWORD>(std::min<std::size_t>(maxChars, 65536));
    std::vector<char> buffer(size, '\0');
    const DWORD length = ::GetPrivateProfileStringA(ansiSection->c_str(), ansiKey->c_str(), "",
                                                    buffer.data(), size, path->c_str());
    return fromAnsi(std::string_view(buffer.data(), std::min<DWORD>(length, size - 1)));
}

bool Win32ProfileFile::write(std::string_view filePath, std::string_view section,
                             std::string_view key, std::string_view value) {
    const auto path = lineText(filePath);
    const auto ansiSection = lineText(section);
    const auto ansiKey = lineText(key);
    const auto ansiValue = lineText(value);
    if (!path || !ansiSection || !ansiKey || !ansiValue || ansiSection->empty() ||
        ansiKey->empty() || ansiKey->find('=') != std::string::npos) {
        return false;
    }
    return ::WritePrivateProfileStringA(ansiSection->c_str(), ansiKey->c_str(), ansiValue->c_str(),
                                        path->c_str()) != 0;
}

} // namespace lantrivex::platform::win32
