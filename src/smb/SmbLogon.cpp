// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbLogon.h"

#include <arpa/inet.h>
#include <string>

namespace lantrivex::smb {

using namespace lantrivex::platform;

SmbLogonPlan planSmbLogon(KerberosCache::State ticket, bool account, bool serverIsAddress) {
    using State = KerberosCache::State;
    SmbLogonPlan plan;
    switch (ticket) {
    case State::Usable:
    case State::Opaque:
        if (serverIsAddress) {
            plan.kerberosProblem = AccessFailure::KerberosNeedsName;
        } else {
            plan.attempts.push_back(SmbLogonMethod::Kerberos);
        }
        break;
    case State::Empty:
        plan.kerberosProblem = AccessFailure::TicketCacheEmpty;
        break;
    case State::Corrupt:
        plan.kerberosProblem = AccessFailure::TicketCacheCorrupt;
        break;
    case State::Expired:
        plan.kerberosProblem = AccessFailure::TicketExpired;
        break;
    case State::None:
        break;
    }
    if (account) {
        plan.attempts.push_back(SmbLogonMethod::Account);
    } else if (ticket == State::None) {
        plan.attempts.push_back(SmbLogonMethod::Guest);
    }
    return plan;
}

bool isAddressLiteral(std::string_view server) {
    if (server.size() > 2 && server.front() == '[' && server.back() == ']') {
        server = server.substr(1, server.size() - 2);
    }
    const std::string text(server);
    unsigned char buffer[16];
    return ::inet_pton(AF_INET, text.c_str(), buffer) == 1 ||
           ::inet_pton(AF_INET6, text.c_str(), buffer) == 1;
}

} // namespace lantrivex::smb
