// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AccessFailure.h"

#include <gtest/gtest.h>
#include <utility>

namespace lantrivex::platform {
namespace {

// Windows' error codes, by number as winerror.h gives them, read as the reasons both programs tell.
TEST(AccessFailure, WindowsErrorCodesGiveTheReasonsThePosixSideTells) {
    const std::pair<std::uint32_t, AccessFailure> cases[] = {
        {0, AccessFailure::None},                 // ERROR_SUCCESS
        {2, AccessFailure::Unreachable},          // ERROR_FILE_NOT_FOUND: no such stream
        {3, AccessFailure::Unreachable},          // ERROR_PATH_NOT_FOUND: no such folder
        {53, AccessFailure::Unreachable},         // ERROR_BAD_NETPATH
        {67, AccessFailure::Unreachable},         // ERROR_BAD_NET_NAME: no such share
        {1722, AccessFailure::Unreachable},       // RPC_S_SERVER_UNAVAILABLE
        {5, AccessFailure::AccessDenied},         // ERROR_ACCESS_DENIED
        {65, AccessFailure::AccessDenied},        // ERROR_NETWORK_ACCESS_DENIED
        {1326, AccessFailure::LogonRefused},      // ERROR_LOGON_FAILURE
        {1331, AccessFailure::LogonRefused},      // ERROR_ACCOUNT_DISABLED
        {1909, AccessFailure::LogonRefused},      // ERROR_ACCOUNT_LOCKED_OUT
        {1219, AccessFailure::LogonRefused},      // ERROR_SESSION_CREDENTIAL_CONFLICT
        {64, AccessFailure::TimedOut},            // ERROR_NETNAME_DELETED
        {121, AccessFailure::TimedOut},           // ERROR_SEM_TIMEOUT
        {1726, AccessFailure::TimedOut},          // RPC_S_CALL_FAILED
        {1225, AccessFailure::ConnectionRefused}, // ERROR_CONNECTION_REFUSED
        {1210, AccessFailure::NameNotFound},      // ERROR_INVALID_COMPUTERNAME
        {0xFFFFFFFF, AccessFailure::Unreachable}, // any other
    };
    for (const auto& [code, failure] : cases) {
        EXPECT_EQ(win32ErrorFailure(code), failure) << code;
    }
}

} // namespace
} // namespace lantrivex::platform
