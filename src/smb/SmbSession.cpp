// SPDX-License-Identifier: GPL-3.0-or-later
#if defined(LANTRIVEX_WITH_SMB)

#include "smb/SmbSession.h"

#include "common/LetterCase.h"
#include "platform/SmbLogonReport.h"
#include "smb/KerberosCache.h"
#include "smb/SmbUrl.h"
#include "smb/TcpProbe.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <unistd.h>

namespace lantrivex::smb {

using namespace lantrivex::platform;
namespace {

// Copies `text` into a buffer of the library, always terminated, cut to fit.
void copyInto(char* buffer, int capacity, std::string_view text) {
    if (buffer == nullptr || capacity <= 0) {
        return;
    }
    const auto n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// Whether the library said, during the logon attempt under way, that Kerberos failed (the KDC
// refused the service ticket, the server refused the ticket): its errno alone (EACCES) does not
// tell that from a share that refuses the user. The library's log callback is one for the whole
// process, and is called within calls into the library, under its mutex (libraryMutex()), which
// guards this flag.
bool kerberosTrouble = false;

void watchLog(void*, int, const char* message) {
    const std::string_view text = message != nullptr ? message : "";
    if (text.find("gss_") != std::string_view::npos ||
        text.find("Kerberos") != std::string_view::npos ||
        text.find("krb5") != std::string_view::npos ||
        text.find("Kinit") != std::string_view::npos) {
        kerberosTrouble = true;
    }
}

// An errno that a refused logon gives (the next method may then be tried): access denied, logon
// failure, and the Kerberos library's own failures.
bool refusedLogon(int error) {
    return error == EACCES || error == EPERM || error == EINVAL;
}

} // namespace

SigpipeGuard::SigpipeGuard() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    blocked_ = pthread_sigmask(SIG_BLOCK, &pipe, &saved_) == 0;
}

SigpipeGuard::~SigpipeGuard() {
    if (!blocked_) {
        return;
    }
    if (!wasPending_) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec none{0, 0};
        while (sigtimedwait(&pipe, nullptr, &none) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

SmbSession::SmbSession(const SmbSettings& settings) : settings_(settings) {}

namespace {

// The library keeps state of its own beside its contexts (its stack of temporary allocations,
// its configuration), which this build of it does not keep per thread: every call into it, on
// any context, holds this one mutex. What makes threads wait for each other, the servers that
// do not answer, is found out before the library is called (probeSmb).
std::mutex& libraryMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

std::shared_ptr<SmbSession> SmbSession::create(const SmbSettings& settings) {
    const std::lock_guard life(libraryMutex());
    auto session = std::shared_ptr<SmbSession>(new SmbSession(settings));
    if (!settings.credentialsFile.empty()) {
        session->credentials_ = readSmbCredentialsFile(settings.credentialsFile);
    }

    SMBCCTX* context = smbc_new_context();
    if (context == nullptr) {
        return nullptr;
    }
    // Quiet before anything else: the library's log goes to standard output by default.
    smbc_setDebug(context, 0);
    smbc_setOptionDebugToStderr(context, 1);
    smbc_setLogCallback(context, nullptr, &watchLog);
    smbc_setTimeout(context, static_cast<int>(settings.timeout.count()));
    smbc_setOptionUserData(context, session.get());
    smbc_setFunctionAuthDataWithContext(context, &SmbSession::authenticate);
    smbc_setOptionUseKerberos(context, 0);
    smbc_setOptionNoAutoAnonymousLogin(context, 1);
    if (smbc_init_context(context) == nullptr) {
        smbc_free_context(context, 0);
        return nullptr;
    }
    // smbc_init_context loads smb.conf, whose log level would win over the one set above.
    smbc_setDebug(context, 0);
    if (!settings.minProtocol.empty()) {
        smbc_setOptionProtocols(context, settings.minProtocol.c_str(), nullptr);
    }
    session->context_ = context;
    return session;
}

SmbSession::~SmbSession() {
    if (context_ != nullptr) {
        const std::lock_guard lock(libraryMutex());
        SigpipeGuard guard;
        smbc_free_context(context_, 1);
    }
}

void SmbSession::apply(SmbLogonMethod method, const SmbCredentials* account) {
    // With a ticket or an account, a refused logon must stay refused: the library would otherwise
    // fall back to an anonymous session, which servers often let read, and a server may grant a
    // guest session for a wrong password. Asking for encryption makes the library require signing,
    // which a guest session cannot give (SMB2 and SMB1 alike; servers without encryption are still
    // reached, signed). Kerberos alone with the ticket (the library's fallback would offer the
    // login name by NTLM); the account by NTLM (the library would otherwise ask the KDC for a
    // ticket of its own with the account's password, in the realm of the file's domain). The
    // options are read when a connection is made.
    method_ = method;
    account_ = account;
    const bool guest = method == SmbLogonMethod::Guest;
    smbc_setOptionUseKerberos(context_, method == SmbLogonMethod::Kerberos ? 1 : 0);
    smbc_setOptionFallbackAfterKerberos(context_, 0);
    smbc_setOptionNoAutoAnonymousLogin(context_, guest ? 0 : 1);
    smbc_setOptionSmbEncryptionLevel(context_,
                                     guest ? SMBC_ENCRYPTLEVEL_NONE : SMBC_ENCRYPTLEVEL_REQUEST);
}

SmbSession::Logon SmbSession::logOn(const std::string& server,
                                    const std::function<void*()>& request) {
    if (credentials_.error) {
        return {nullptr, EACCES, AccessFailure::CredentialsUnusable};
    }
    const KerberosCache cache =
        settings_.kerberos
            ? findKerberosCache(&::getenv, ::getuid(), static_cast<std::int64_t>(::time(nullptr)))
            : KerberosCache{};
    const SmbCredentials* account = credentials_.forServer(server);
    SmbLogonPlan plan = planSmbLogon(cache.state, account != nullptr, isAddressLiteral(server));
    const std::string folded = foldLetterCase(server);
    if (const auto served = served_.find(folded); served != served_.end()) {
        // What served the server comes first (its session is kept in the context).
        std::stable_partition(plan.attempts.begin(), plan.attempts.end(),
                              [&](SmbLogonMethod m) { return m == served->second; });
    }
    Logon logon{nullptr, EACCES, plan.kerberosProblem};
    for (const SmbLogonMethod method : plan.attempts) {
        apply(method, account);
        kerberosTrouble = false;
        errno = 0;
        logon.handle = request();
        if (logon.handle != nullptr) {
            served_[folded] = method;
            SmbLogonReport report{server, SmbLogonReport::Method::Guest, {}, {}};
            if (method == SmbLogonMethod::Kerberos) {
                report.method = SmbLogonReport::Method::KerberosTicket;
                report.who = cache.principal.empty() ? cache.name : cache.principal;
            } else if (method == SmbLogonMethod::Account) {
                report.method = SmbLogonReport::Method::Account;
                report.who = account->domain.empty() ? account->username
                                                     : account->domain + "\\" + account->username;
                report.file = settings_.credentialsFile;
            }
            reportSmbLogon(report);
            return {logon.handle, 0, AccessFailure::None};
        }
        logon.error = errno != 0 ? errno : EIO;
        logon.reason =
            method == SmbLogonMethod::Kerberos && (kerberosTrouble || logon.error == EINVAL)
                ? AccessFailure::TicketRefused
                : AccessFailure::None;
        if (!refusedLogon(logon.error)) {
            break; // an answer (no such file), or no answer: another logon would not change it
        }
    }
    return logon;
}

std::shared_ptr<SmbSessionPool> SmbSessionPool::create(const SmbSettings& settings) {
    return std::shared_ptr<SmbSessionPool>(new SmbSessionPool(settings));
}

std::shared_ptr<SmbSession> SmbSessionPool::acquire() {
    std::shared_ptr<SmbSession> owned;
    {
        const std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            owned = std::move(idle_.back());
            idle_.pop_back();
        } else if (failed_) {
            return nullptr;
        }
    }
    if (!owned) {
        owned = SmbSession::create(settings_);
        if (!owned) {
            const std::lock_guard lock(mutex_);
            failed_ = true;
            return nullptr;
        }
    }
    SmbSession* raw = owned.get();
    return std::shared_ptr<SmbSession>(
        raw, [pool = weak_from_this(), owned = std::move(owned)](SmbSession*) mutable {
            if (const auto back = pool.lock()) {
                back->giveBack(std::move(owned));
            }
        });
}

void SmbSessionPool::giveBack(std::shared_ptr<SmbSession> session) {
    const std::lock_guard lock(mutex_);
    if (idle_.size() < kMaxIdle) {
        idle_.push_back(std::move(session));
    }
}

std::mutex& SmbSession::mutex() noexcept {
    return libraryMutex();
}

bool SmbSession::serverAnswers(const std::string& server) const {
    const SmbReach reach = reachServer(server);
    return reach == SmbReach::Answers || reach == SmbReach::Unresolved ||
           (reach == SmbReach::Smb1Only && !settings_.minProtocol.empty());
}

SmbReach SmbSession::reachServer(const std::string& server) const {
    static constexpr std::array<std::uint16_t, 2> kDefaultPorts{kDefaultSmbPort, 139};
    const std::array<std::uint16_t, 1> configured{settings_.port};
    return settings_.port != 0 ? probeSmb(server, configured, settings_.timeout)
                               : probeSmb(server, kDefaultPorts, settings_.timeout);
}

void SmbSession::authenticate(SMBCCTX* context, const char* /*server*/, const char* /*share*/,
                              char* workgroup, int workgroupLength, char* username,
                              int usernameLength, char* password, int passwordLength) {
    const auto* session = static_cast<const SmbSession*>(smbc_getOptionUserData(context));
    const SmbCredentials* account =
        session != nullptr && session->method_ == SmbLogonMethod::Account ? session->account_
                                                                          : nullptr;
    if (account != nullptr) {
        const SmbCredentials& c = *account;
        copyInto(username, usernameLength, c.username);
        copyInto(password, passwordLength, c.password.view());
        if (!c.domain.empty()) {
            copyInto(workgroup, workgroupLength, c.domain);
        }
        return;
    }
    if (session != nullptr && session->method_ == SmbLogonMethod::Kerberos) {
        return; // the library's own hints: the ticket's principal is used
    }
    copyInto(username, usernameLength, "guest");
    copyInto(password, passwordLength, "");
}

} // namespace lantrivex::smb

#endif
