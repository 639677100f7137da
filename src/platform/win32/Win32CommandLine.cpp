// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32CommandLine.h"

#include "platform/HostPlatform.h"

#include <cwchar>
#include <windows.h>
// CommandLineToArgvW needs the types of windows.h first.
#include <shellapi.h>

namespace lantrivex::platform::win32 {
namespace {

std::string utf8(const wchar_t* wide) {
    const int length = static_cast<int>(std::wcslen(wide));
    if (length == 0) {
        return {};
    }
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, out.data(), needed, nullptr, nullptr);
    return out;
}

} // namespace

std::vector<std::string> argumentsOfCommandLine(const wchar_t* commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** const split = ::CommandLineToArgvW(commandLine, &count);
    if (split == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(utf8(split[i]));
    }
    ::LocalFree(split);
    return arguments;
}

} // namespace lantrivex::platform::win32

namespace lantrivex::platform {

std::vector<std::string> programArguments(int, char**) {
    return win32::argumentsOfCommandLine(::GetCommandLineW());
}

} // namespace lantrivex::platform
