#pragma once

#include "platform/Registry.h"

#include <map>
#include <mutex>
#include <string>

namespace lantrivex::platform::win32 {

// The registry through the ANSI registry functions: RegConnectRegistryA for another machine's
// HKEY_LOCAL_MACHINE, RegOpenKeyExA, RegEnumValueA, RegQueryValueExA, RegCloseKey. Every answer is
// the function's own error code. Names and string data are converted between UTF-8 and the ANSI
// code page; the data sizes given are those of the converted data. A name that the code page
// cannot hold names no key and no value (kRegFileNotFound), and no machine (kRegBadNetPath).
// The registry functions may be called from several threads at once; the reason of each
// machine's last failed connection is kept for connectFailure(). How long RegConnectRegistryA
// waits for a machine that does not answer is the system's own bound (the RPC and SMB client
// time-outs), which the program cannot set.
class Win32Registry : public Registry {
public:
    RegistryError localMachine(std::unique_ptr<RegistryHive>& hive) override;
    RegistryError connect(std::string_view machineName,
                          std::unique_ptr<RegistryHive>& hive) override;
    AccessFailure connectFailure(std::string_view machineName) override;

    // The reason a RegConnectRegistryA error code gives.
    static AccessFailure failureOfError(RegistryError error) noexcept;

private:
    std::mutex mutex_;
    std::map<std::string, AccessFailure> failures_; // by machine name, ASCII lower case
};

} // namespace lantrivex::platform::win32
