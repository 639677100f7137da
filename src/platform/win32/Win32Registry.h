// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <map>
#include <mutex>
#include <string>
#include <windows.h>

namespace lantrivex::platform::win32 {

// The registry through the ANSI registry functions: RegConnectRegistryA for another machine's
// HKEY_LOCAL_MACHINE, RegOpenKeyExA, RegEnumValueA, RegQueryValueExA, RegCloseKey. Every answer is
// the function's own error code. Names and string data are converted between UTF-8 and the ANSI
// code page; the data sizes given are those of the converted data. A name that the code page
// cannot hold names no key and no value (kRegFileNotFound), and no machine (kRegBadNetPath).
//
// A value costs two RegQueryValueExA requests, its size then its data, whether its size alone or
// its data is asked for; each is a round trip on another machine's registry.
//
// A key missing from the native view is looked for in the 32-bit view (KEY_WOW64_32KEY): a 32-bit
// Macintosh server product on a 64-bit Windows keeps its keys under SOFTWARE\WOW6432Node, where the
// 32-bit programs of old found them. The native view comes first, so a product of the machine's
// own width is read as it is; the services' keys under SYSTEM are the same in both views.
//
// It may serve several threads at once, each with keys of its own; the reason of each machine's
// last failed connection is kept for connectFailure(). How long RegConnectRegistryA waits for a
// machine that does not answer is the system's own bound (the RPC and SMB client time-outs),
// which the program cannot set.
class Win32Registry : public Registry {
public:
    // RegQueryValueExA or a function with its signature (tests count the requests through one).
    using QueryValue = decltype(&::RegQueryValueExA);
    explicit Win32Registry(QueryValue query = &::RegQueryValueExA) : query_(query) {}

    RegistryError localMachine(std::unique_ptr<RegistryHive>& hive) override;
    RegistryError connect(std::string_view machineName,
                          std::unique_ptr<RegistryHive>& hive) override;
    AccessFailure connectFailure(std::string_view machineName) override;

private:
    QueryValue query_;
    std::mutex mutex_;
    std::map<std::string, AccessFailure> failures_; // by machine name, letter case folded
};

} // namespace lantrivex::platform::win32
