// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

namespace lantrivex::platform::win32 {

// The registry through the ANSI registry functions: RegConnectRegistryA for another machine's
// HKEY_LOCAL_MACHINE, RegOpenKeyExA, RegEnumValueA, RegQueryValueExA, RegCloseKey. Every answer is
// the function's own error code. Names and string data are converted between UTF-8 and the ANSI
// code page; the data sizes given are those of the converted data. A name that the code page
// cannot hold names no key and no value (kRegFileNotFound), and no machine (kRegBadNetPath).
class Win32Registry : public Registry {
public:
    RegistryError localMachine(std::unique_ptr<RegistryHive>& hive) override;
    RegistryError connect(std::string_view machineName,
                          std::unique_ptr<RegistryHive>& hive) override;
};

} // namespace lantrivex::platform::win32
