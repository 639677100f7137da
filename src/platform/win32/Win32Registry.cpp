#include "platform/win32/Win32Registry.h"

#include "platform/win32/AnsiCodePage.h"

#include <algorithm>
#include <vector>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
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

    RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                 std::uint32_t& dataSize) override {
        DWORD found = REG_NONE;
        std::string data;
        const LONG answer = readValue(valueName, found, data);
        if (answer == ERROR_SUCCESS) {
            type = found;
            dataSize = static_cast<std::uint32_t>(data.size());
        }
        return answer;
    }

    RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                 std::uint32_t& type, std::string& data) override {
        DWORD found = REG_NONE;
        std::string value;
        const LONG answer = readValue(valueName, found, value);
        if (answer != ERROR_SUCCESS) {
            return answer;
        }
        type = found;
        if (value.size() > bufferSize) {
            return ERROR_MORE_DATA;
        }
        data = std::move(value);
        return ERROR_SUCCESS;
    }

private:
    // The whole value: its size first, then its data, asked again when it grew meanwhile. String
    // data comes back converted to UTF-8 with all its NULs.
    LONG readValue(std::string_view valueName, DWORD& type, std::string& data) {
        const auto name = toAnsi(valueName);
        if (!name || name->find('\0') != std::string::npos) {
            return ERROR_FILE_NOT_FOUND;
        }
        LONG answer = ERROR_MORE_DATA;
        for (int attempt = 0; attempt < 4 && answer == ERROR_MORE_DATA; ++attempt) {
            DWORD size = 0;
            answer = ::RegQueryValueExA(key_, name->c_str(), nullptr, &type, nullptr, &size);
            if (answer != ERROR_SUCCESS) {
                return answer;
            }
            std::string bytes(size, '\0');
            answer = ::RegQueryValueExA(key_, name->c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(bytes.data()), &size);
            if (answer == ERROR_SUCCESS) {
                bytes.resize(size);
                data = isStringType(type) ? fromAnsi(bytes) : std::move(bytes);
            }
        }
        return answer;
    }

    HKEY key_;
};

class Win32RegistryHive : public RegistryHive {
public:
    // `connected`: a root given by RegConnectRegistryA, closed with the hive.
    Win32RegistryHive(HKEY root, bool connected) : root_(root), connected_(connected) {}
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
        const LONG answer = ::RegOpenKeyExA(root_, ansi->c_str(), 0, access, &opened);
        if (answer == ERROR_SUCCESS) {
            key = std::make_unique<Win32RegistryKey>(opened);
        }
        return answer;
    }

private:
    HKEY root_;
    bool connected_;
};

} // namespace

RegistryError Win32Registry::localMachine(std::unique_ptr<RegistryHive>& hive) {
    hive = std::make_unique<Win32RegistryHive>(HKEY_LOCAL_MACHINE, false);
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
        hive = std::make_unique<Win32RegistryHive>(root, true);
    }
    return answer;
}

} // namespace lantrivex::platform::win32
