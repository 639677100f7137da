// SPDX-License-Identifier: GPL-3.0-or-later
#if defined(LANTRIVEX_WITH_SMB)

#include "smb/SmbSession.h"

#include "smb/SmbUrl.h"
#include "smb/TcpProbe.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <sys/stat.h>
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

void discardLog(void*, int, const char*) {}

bool hasKerberosTicketCache() {
    const char* name = std::getenv("KRB5CCNAME");
    if (name != nullptr && *name != '\0') {
        std::string_view cache(name);
        if (cache.starts_with("FILE:")) {
            cache.remove_prefix(5);
        } else if (cache.find(':') != std::string_view::npos) {
            return true; // KEYRING:, KCM:, DIR:, ...: cannot be told from here; let Kerberos try
        }
        struct stat st {};
        return ::stat(std::string(cache).c_str(), &st) == 0;
    }
    const std::string fallback = "/tmp/krb5cc_" + std::to_string(::getuid());
    struct stat st {};
    return ::stat(fallback.c_str(), &st) == 0;
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
    session->kerberos_ = settings.kerberos && hasKerberosTicketCache();

    SMBCCTX* context = smbc_new_context();
    if (context == nullptr) {
        return nullptr;
    }
    // Quiet before anything else: the library's log goes to standard output by default.
    smbc_setDebug(context, 0);
    smbc_setOptionDebugToStderr(context, 1);
    smbc_setLogCallback(context, nullptr, &discardLog);
    smbc_setTimeout(context, static_cast<int>(settings.timeout.count()));
    smbc_setOptionUserData(context, session.get());
    smbc_setFunctionAuthDataWithContext(context, &SmbSession::authenticate);
    smbc_setOptionUseKerberos(context, session->kerberos_ ? 1 : 0);
    smbc_setOptionFallbackAfterKerberos(context, 1);
    smbc_setOptionNoAutoAnonymousLogin(context, session->kerberos_ ? 1 : 0);
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

bool SmbSession::prepareFor(const std::string& server) {
    if (credentials_.error) {
        return false;
    }
    // With an account or a ticket, a refused logon must stay refused: the library would otherwise
    // fall back to an anonymous session, which servers often let read, and a server may grant a
    // guest session for a wrong password. Asking for encryption makes the library require signing,
    // which a guest session cannot give (SMB2 and SMB1 alike; servers without encryption are still
    // reached, signed). With neither, the guest account is asked for, and an anonymous session is
    // what a server without one gives. Both options are read when a connection is made.
    const bool account = kerberos_ || credentials_.forServer(server) != nullptr;
    smbc_setOptionNoAutoAnonymousLogin(context_, account ? 1 : 0);
    smbc_setOptionSmbEncryptionLevel(context_,
                                     account ? SMBC_ENCRYPTLEVEL_REQUEST : SMBC_ENCRYPTLEVEL_NONE);
    return true;
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

void SmbSession::authenticate(SMBCCTX* context, const char* server, const char* /*share*/,
                              char* workgroup, int workgroupLength, char* username,
                              int usernameLength, char* password, int passwordLength) {
    const auto* session = static_cast<const SmbSession*>(smbc_getOptionUserData(context));
    const SmbCredentials* account =
        session != nullptr && server != nullptr ? session->credentials_.forServer(server) : nullptr;
    if (account != nullptr) {
        const SmbCredentials& c = *account;
        copyInto(username, usernameLength, c.username);
        copyInto(password, passwordLength, c.password.view());
        if (!c.domain.empty()) {
            copyInto(workgroup, workgroupLength, c.domain);
        }
        return;
    }
    if (session != nullptr && session->kerberos_) {
        return; // the library's own hints: the login name, whose ticket is used
    }
    copyInto(username, usernameLength, "guest");
    copyInto(password, passwordLength, "");
}

} // namespace lantrivex::smb

#endif
