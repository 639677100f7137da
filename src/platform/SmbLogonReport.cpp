// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SmbLogonReport.h"

#include "common/LetterCase.h"

#include <mutex>
#include <set>
#include <tuple>

namespace lantrivex::platform {
namespace {

std::mutex reportMutex;
std::function<void(const SmbLogonReport&)> reportListener;
std::set<std::tuple<std::string, int, std::string>> reportsTold;

} // namespace

void setSmbLogonListener(std::function<void(const SmbLogonReport&)> listener) {
    const std::lock_guard lock(reportMutex);
    reportListener = std::move(listener);
    reportsTold.clear();
}

void reportSmbLogon(const SmbLogonReport& report) {
    const std::lock_guard lock(reportMutex);
    if (reportListener &&
        reportsTold
            .emplace(foldLetterCase(report.server), static_cast<int>(report.method), report.who)
            .second) {
        reportListener(report);
    }
}

std::string smbLogonText(const SmbLogonReport& report, LanguageFlag nLangue) {
    std::string text = report.server;
    switch (report.method) {
    case SmbLogonReport::Method::KerberosTicket:
        text += tr(nLangue, " : ticket Kerberos de ", ": Kerberos ticket of ");
        text += report.who;
        break;
    case SmbLogonReport::Method::Account:
        text += tr(nLangue, " : compte ", ": account ");
        text += report.who;
        text += tr(nLangue, " du fichier ", " from ");
        text += report.file;
        break;
    case SmbLogonReport::Method::Guest:
        text += tr(nLangue, " : invité", ": guest");
        break;
    }
    return text;
}

} // namespace lantrivex::platform
