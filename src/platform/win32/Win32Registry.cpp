// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Registry.h"

#include "common/LetterCase.h"
#include "platform/win32/AnsiCodePage.h"

#include <algorithm>
#include <optional>
#include <vector>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Win32RegistryKey : public RegistryKey {
public:
    Win32RegistryKey(HKEY key, Win32Registry::QueryValue query) : key_(key), query_(query) {}
    ~Win32RegistryKey() override { ::RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    RegistryError enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                                std::string& name) override {
        std::vector<char> buffer(std::max<std::uint32_t>(nameBufferSize, 1), '\0');
        DWORD length = nameBufferSize;
        const LONG answer = ::RegEnumValueA(key_, static_cast<DWORD>(index), buffer.data(), &length,
                                            nullptr, nullptr, nullptr, nullptr);
        if (answer == ERROR_SUCCESS) {
            name =
                fromAnsi(std::string_view(buffer.data(), std::min<DWORD>(length, nameBufferSize)));
        }
        return answer;
    }

    RegistryError queryValueCount(std::uint32_t& count) override {
        DWORD values = 0;
        const LONG answer =
            ::RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr);
        count = answer == ERROR_SUCCESS ? values : 0;
        return answer;
    }

    // The size of converted string data is known only from the data itself: the value is read
    // whole here (its size, then its data) and kept for the data request that follows.
    RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                 std::uint32_t& dataSize) override {
        kept_.reset();
        Value value;
        const LONG answer = readValue(valueName, value);
        if (answer == ERROR_SUCCESS) {
            type = value.type;
            dataSize = static_cast<std::uint32_t>(value.data.size());
            value.name = std::string(valueName);
            kept_ = std::move(value);
        }
        return answer;
    }

    RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                 std::uint32_t& type, std::string& data) override {
        Value value;
        if (kept_ && kept_->name == valueName) {
            value = std::move(*kept_);
        } else if (const LONG answer = readValue(valueName, value); answer != ERROR_SUCCESS) {
            kept_.reset();
            return answer;
        }
        kept_.reset();
        type = value.type;
        if (value.data.size() > bufferSize) {
            return ERROR_MORE_DATA;
        }
        data = std::move(value.data);
        return ERROR_SUCCESS;
    }

private:
    struct Value {
        std::string name;
        DWORD type = REG_NONE;
        std::string data;
    };

    // The whole value in two requests (each a round trip to a remote registry): its size, then its
    // data; asked again only when it grew in between. String data comes back converted to UTF-8
    // with all its NULs.
    LONG readValue(std::string_view valueName, Value& value) {
        const auto name = toAnsi(valueName);
        if (!name || name->find('\0') != std::string::npos) {
            return ERROR_FILE_NOT_FOUND;
        }
        LONG answer = ERROR_MORE_DATA;
        for (int attempt = 0; attempt < 4 && answer == ERROR_MORE_DATA; ++attempt) {
            DWORD size = 0;
            answer = query_(key_, name->c_str(), nullptr, &value.type, nullptr, &size);
            if (answer != ERROR_SUCCESS) {
                return answer;
            }
            std::string bytes(size, '\0');
            answer = query_(key_, name->c_str(), nullptr, &value.type,
                            reinterpret_cast<BYTE*>(bytes.data()), &size);
            if (answer == ERROR_SUCCESS) {
                bytes.resize(size);
                value.data = isStringType(value.type) ? fromAnsi(bytes) : std::move(bytes);
            }
        }
        return answer;
    }

    HKEY key_;
    Win32Registry::QueryValue query_;
    std::optional<Value> kept_; // the value whose size was asked last
};

class Win32RegistryHive : public RegistryHive {
public:
    // `connected`: a root given by RegConnectRegistryA, closed with the hive.
    Win32RegistryHive(HKEY root, bool connected, Win32Registry::QueryValue query)
        : root_(root), connected_(connected), query_(query) {}
    ~Win32RegistryHive() override {
        if (connected_) {
            ::RegCloseKey(root_);
        }
    }
    Win32RegistryHive(const Win32RegistryHive&) = delete;
    Win32RegistryHive& operator=(const Win32RegistryHive&) = delete;

    RegistryError openKey(std::string_view path, std::uint32_t access,
                          std::unique_ptr<RegistryKey>& key) override {
        const auto ansi = toAnsi(path);
        if (!ansi || ansi->find('\0') != std::string::npos) {
            return ERROR_FILE_NOT_FOUND;
        }
        HKEY opened = nullptr;
        LONG answer = ::RegOpenKeyExA(root_, ansi->c_str(), 0, access, &opened);
#if defined(_WIN64)
        // A 32-bit product on a 64-bit Windows keeps its SOFTWARE keys in the 32-bit view
        // (SOFTWARE\WOW6432Node), where a 32-bit reader finds them: the native view first.
        if (answer == ERROR_FILE_NOT_FOUND) {
            answer = ::RegOpenKeyExA(root_, ansi->c_str(), 0, access | KEY_WOW64_32KEY, &opened);
        }
#endif
        if (answer == ERROR_SUCCESS) {
            key = std::make_unique<Win32RegistryKey>(opened, query_);
        }
        return answer;
    }

private:
    HKEY root_;
    bool connected_;
    Win32Registry::QueryValue query_;
};

} // namespace

RegistryError Win32Registry::localMachine(std::unique_ptr<RegistryHive>& hive) {
    hive = std::make_unique<Win32RegistryHive>(HKEY_LOCAL_MACHINE, false, query_);
    return ERROR_SUCCESS;
}

RegistryError Win32Registry::connect(std::string_view machineName,
                                     std::unique_ptr<RegistryHive>& hive) {
    const auto name = toAnsi(machineName);
    if (!name || name->empty() || name->find('\0') != std::string::npos) {
        return ERROR_BAD_NETPATH;
    }
    HKEY root = nullptr;
    const LONG answer = ::RegConnectRegistryA(("\\\\" + *name).c_str(), HKEY_LOCAL_MACHINE, &root);
    if (answer == ERROR_SUCCESS) {
        hive = std::make_unique<Win32RegistryHive>(root, true, query_);
    }
    const std::lock_guard lock(mutex_);
    failures_[foldLetterCase(machineName)] = win32ErrorFailure(static_cast<std::uint32_t>(answer));
    return answer;
}

AccessFailure Win32Registry::connectFailure(std::string_view machineName) {
    const std::lock_guard lock(mutex_);
    const auto found = failures_.find(foldLetterCase(machineName));
    return found == failures_.end() ? AccessFailure::None : found->second;
}

} // namespace lantrivex::platform::win32
