// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32NetworkConnections.h"

#include "platform/win32/AnsiCodePage.h"

#include <algorithm>
#include <limits>
#include <vector>
#include <windows.h>
// The network declarations need the types of windows.h first.
#include <winnetwk.h>

namespace lantrivex::platform::win32 {

std::optional<std::string> Win32NetworkConnections::computerName() {
    char buffer[1024] = {};
    DWORD length = sizeof buffer;
    if (!::GetComputerNameA(buffer, &length)) {
        return std::nullopt;
    }
    return fromAnsi(std::string_view(buffer, length));
}

std::int32_t
Win32NetworkConnections::currentConnections(std::size_t maxCount,
                                            std::vector<NetworkConnection>& connections) {
    connections.clear();
    HANDLE enumeration = nullptr;
    DWORD answer = ::WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_ANY, 0, nullptr, &enumeration);
    if (answer != NO_ERROR) {
        return static_cast<std::int32_t>(answer);
    }
    if (enumeration == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::size_t limit = std::numeric_limits<DWORD>::max() / sizeof(NETRESOURCEA);
    DWORD count = static_cast<DWORD>(std::min(maxCount, limit));
    std::vector<NETRESOURCEA> records(std::max<std::size_t>(count, 1));
    DWORD size = static_cast<DWORD>(records.size() * sizeof(NETRESOURCEA));
    answer = ::WNetEnumResourceA(enumeration, &count, records.data(), &size);
    if (answer == NO_ERROR) {
        for (DWORD i = 0; i < count && i < records.size(); ++i) {
            const NETRESOURCEA& record = records[i];
            NetworkConnection connection;
            if (record.lpLocalName != nullptr && record.lpLocalName[0] != '\0') {
                connection.localName = fromAnsi(record.lpLocalName);
            }
            if (record.lpRemoteName != nullptr) {
                connection.remoteName = fromAnsi(record.lpRemoteName);
            }
            connections.push_back(std::move(connection));
        }
    }
    ::WNetCloseEnum(enumeration);
    if (answer == NO_ERROR && connections.empty()) {
        return kNetNoMoreItems;
    }
    return static_cast<std::int32_t>(answer);
}

} // namespace lantrivex::platform::win32
