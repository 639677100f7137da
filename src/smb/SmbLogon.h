// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/AccessFailure.h"
#include "smb/KerberosCache.h"

#include <string_view>
#include <vector>

namespace lantrivex::smb {

// The ways of logging on to an SMB server, in the order they are tried.
enum class SmbLogonMethod {
    Kerberos, // the user's ticket, the library asking for the server's service ticket
    Account,  // the account the credentials file gives the server
    Guest,    // the guest account (or an anonymous session where the server has no guest)
};

struct SmbLogonPlan {
    std::vector<SmbLogonMethod> attempts; // none: nothing may be asked of the server
    // Why the ticket cannot be offered (an empty, damaged or expired cache, a server named by its
    // address): the reason told when the attempts, if any, all fail. None when it can be.
    platform::AccessFailure kerberosProblem = platform::AccessFailure::None;
};

// The order for one server: a usable ticket first (a cache this program cannot read is tried as
// it is), since it is the user's own logon of the moment; then the credentials file's account for
// the server, which a stale or wrong file cannot then keep a good ticket from; guest only when
// neither a ticket cache nor an account is there. A cache that is there but cannot serve (empty,
// damaged, expired) still rules guest out: the user means to log on, and a guest session would
// read what guest may read in place of the user's own view, silently. Kerberos needs the server's
// name (its service principal): a server named by its address is never offered the ticket.
SmbLogonPlan planSmbLogon(KerberosCache::State ticket, bool account, bool serverIsAddress);

// `server` is an IPv4 or IPv6 address rather than a name.
bool isAddressLiteral(std::string_view server);

} // namespace lantrivex::smb
