// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <functional>
#include <string>

namespace lantrivex::platform {

// How the program logged on to an SMB server of its own (the live registry, a share that no mount
// covers), for the command-line reader's --verbose. Never a password.
struct SmbLogonReport {
    enum class Method { KerberosTicket, Account, Guest };
    std::string server;
    Method method = Method::Guest;
    std::string who;  // the ticket's principal (or its cache), or DOMAIN\USER of the account
    std::string file; // the credentials file that gave the account
};

// Where the reports go: nothing until a listener is set (nullptr removes it). The listener is
// called from the thread that logged on, one report at a time, and each server, method and
// account is told once.
void setSmbLogonListener(std::function<void(const SmbLogonReport&)> listener);
void reportSmbLogon(const SmbLogonReport& report);

// "NTSRV1: Kerberos ticket of jdupont@CORP.EXAMPLE", "NTSRV1: account CORP\jdupont from FILE",
// "NTSRV1: guest", in the interface language.
std::string smbLogonText(const SmbLogonReport& report, LanguageFlag nLangue);

} // namespace lantrivex::platform
