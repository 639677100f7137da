// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/AccessFailure.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform {

// Registry answers are the system's error codes, as the registry functions return them.
using RegistryError = std::int32_t;

inline constexpr RegistryError kRegOk = 0;           // ERROR_SUCCESS
inline constexpr RegistryError kRegFileNotFound = 2; // ERROR_FILE_NOT_FOUND: no such key or value
inline constexpr RegistryError kRegAccessDenied = 5; // ERROR_ACCESS_DENIED
inline constexpr RegistryError kRegNotEnoughMemory = 8;   // ERROR_NOT_ENOUGH_MEMORY
inline constexpr RegistryError kRegBadNetPath = 53;       // ERROR_BAD_NETPATH: machine not reached
inline constexpr RegistryError kRegInvalidParameter = 87; // ERROR_INVALID_PARAMETER
inline constexpr RegistryError kRegMoreData = 234;        // ERROR_MORE_DATA: buffer too small
inline constexpr RegistryError kRegNoMoreItems = 259;     // ERROR_NO_MORE_ITEMS: end of enumeration

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights asked for when opening a key. The program only reads the registry: it opens keys
// with kKeyRead. Any right beyond reading may be refused (kRegAccessDenied) to a user who is
// allowed to read.
inline constexpr std::uint32_t kKeyRead = 0x20019;      // KEY_READ
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F; // KEY_ALL_ACCESS
constexpr bool asksBeyondReading(std::uint32_t access) noexcept {
    return (access & ~kKeyRead) != 0;
}

// One opened key. Destroying it closes it.
//
// Texts (value names, string data) are UTF-8 here and in the ANSI code page on the system's side.
// A name buffer's size counts characters (one per ANSI byte), its terminating NUL included. Data
// sizes count the bytes of the data as given here; string data includes its terminating NUL (a
// multi-string: every NUL, the final double one too).
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // The name of the value at enumeration position `index` (0, 1, ...). `nameBufferSize` is the
    // size of the caller's name buffer in characters, its terminating NUL included: a name of that
    // many characters or more does not fit. kRegOk; kRegNoMoreItems past the last value;
    // kRegMoreData when the name does not fit (`name` then unchanged).
    virtual RegistryError enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                                        std::string& name) = 0;

    // The type and the size of the data of the value `valueName` (the value with the empty name is
    // the key's default value). kRegFileNotFound when there is no such value.
    virtual RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                         std::uint32_t& dataSize) = 0;

    // The type and the data. `bufferSize` is the caller's buffer size: kRegMoreData when the data
    // is larger (`data` then unchanged). String data comes with its NULs as counted above; a
    // REG_DWORD as its four bytes, least significant first; other types as stored.
    virtual RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                         std::uint32_t& type, std::string& data) = 0;

    // How many values the key holds, as the system tells it (RegQueryInfoKey). kRegOk, or an error
    // code where it cannot be told (an enumeration then ends at its own end, or at its caller's
    // bound).
    virtual RegistryError queryValueCount(std::uint32_t& count) {
        count = 0;
        return kRegInvalidParameter;
    }
};

// The HKEY_LOCAL_MACHINE root of one machine. Destroying it releases the connection.
class RegistryHive {
public:
    virtual ~RegistryHive() = default;

    // Opens the key at `path` (backslash-separated, relative to the root; letter case ignored) with
    // the access rights `access`. kRegOk and `key` set, or an error code and `key` left empty.
    virtual RegistryError openKey(std::string_view path, std::uint32_t access,
                                  std::unique_ptr<RegistryKey>& key) = 0;
};

// A source of registry answers that is there but could not be read, so that a machine could not
// be reached: kept for the command-line reader to tell (the window, as for every failure of
// discovery, shows nothing).
struct RegistryProblem {
    std::string file;     // the file read for the machine (on POSIX, its registry export)
    std::size_t line = 0; // the line at fault; 0 when the file as a whole could not be read
    bool damaged = false; // read but not a well-formed export (else: could not be read at all)
    std::string english;  // the reason
    std::string french;
    // The file is the SMB credentials file (LANTRIVEX_SMB_CREDENTIALS), not an export; `damaged`
    // then says that it cannot be used (no machine is asked), else the line was ignored.
    bool credentials = false;
};

// The registry of this computer and, through the remote registry service, of other machines.
// Every provider may be asked from several threads at once (the catalogue asks machines side by
// side); the hives and keys it gives are used by one thread at a time.
class Registry {
public:
    virtual ~Registry() = default;

    // The problems met since the last call, each file once. None where the
    // provider has nothing of the kind to tell.
    virtual std::vector<RegistryProblem> takeProblems() { return {}; }

    // This computer's HKEY_LOCAL_MACHINE; no connection is made. kRegOk, or an error code when the
    // provider cannot offer it.
    virtual RegistryError localMachine(std::unique_ptr<RegistryHive>& hive) = 0;

    // Connects to HKEY_LOCAL_MACHINE of the machine `machineName` (without leading backslashes).
    // kRegOk and `hive` set, or an error code (kRegBadNetPath, kRegAccessDenied, ...).
    virtual RegistryError connect(std::string_view machineName,
                                  std::unique_ptr<RegistryHive>& hive) = 0;

    // A rebuild of the catalogue starts: what the provider remembered during the previous one
    // (machines that could not be reached, and are not asked again meanwhile) is forgotten.
    virtual void beginRebuild() {}

    // Why the last connect() to `machineName` (localMachine(): the empty name) failed, as far as
    // the provider can tell: AccessFailure::None when it did not fail or the provider knows no
    // more than its error code (the caller then reads the code).
    virtual AccessFailure connectFailure(std::string_view /*machineName*/) {
        return AccessFailure::None;
    }
};

// The reason a registry error code gives by itself, for a root or a key that could not be opened.
AccessFailure registryErrorFailure(RegistryError error) noexcept;

} // namespace lantrivex::platform
