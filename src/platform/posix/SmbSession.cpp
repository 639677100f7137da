#if defined(LANTRIVEX_WITH_SMB)

#include "platform/posix/SmbSession.h"

#include "platform/posix/SmbUrl.h"
#include "platform/posix/TcpProbe.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
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

std::shared_ptr<SmbSession> SmbSession::create(const SmbSettings& settings) {
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
        std::lock_guard lock(mutex_);
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

bool SmbSession::serverAnswers(const std::string& server) const {
    static constexpr std::array<std::uint16_t, 2> kDefaultPorts{kDefaultSmbPort, 139};
    const std::array<std::uint16_t, 1> configured{settings_.port};
    const auto reach = settings_.port != 0 ? probeTcp(server, configured, settings_.timeout)
                                           : probeTcp(server, kDefaultPorts, settings_.timeout);
    return reach != TcpReach::Unreachable;
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

} // namespace lantrivex::platform::posix

#endif
