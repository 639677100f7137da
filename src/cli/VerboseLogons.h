// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/SmbLogonReport.h"

#include <ostream>

namespace lantrivex::cli {

// While it lives (and `on`), each logon to an SMB server is told on `err`, once per server and
// account: "Lantrivex: NTSRV1: Kerberos ticket of jdupont@CORP.EXAMPLE" (--verbose).
class VerboseLogons {
public:
    VerboseLogons(bool on, std::ostream& err, LanguageFlag language) : on_(on) {
        if (on_) {
            platform::setSmbLogonListener([&err, language](const platform::SmbLogonReport& r) {
                err << "Lantrivex: " << platform::smbLogonText(r, language) << '\n' << std::flush;
            });
        }
    }
    ~VerboseLogons() {
        if (on_) {
            platform::setSmbLogonListener(nullptr);
        }
    }
    VerboseLogons(const VerboseLogons&) = delete;
    VerboseLogons& operator=(const VerboseLogons&) = delete;

private:
    bool on_;
};

} // namespace lantrivex::cli
