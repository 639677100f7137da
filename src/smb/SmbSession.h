// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the files built with libsmbclient only (LANTRIVEX_WITH_SMB).

#include "platform/AccessFailure.h"
#include "smb/SmbCredentials.h"
#include "smb/SmbLogon.h"
#include "smb/SmbShareAccess.h"
#include "smb/TcpProbe.h"

#include <csignal>
#include <functional>
#include <libsmbclient.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lantrivex::smb {

// One libsmbclient context and what it needs: the settings, the credentials. Its logging is
// switched off: nothing reaches standard output or standard error. Each server is logged on to in
// the order planSmbLogon() gives (SmbLogon.h): the user's Kerberos ticket when the cache holds a
// usable one, then the account the credentials file gives the server (its [SERVER] section, else
// the keys before any section), guest only when there is neither a ticket cache nor an account.
// With a ticket or an account, a refused logon is a refused connection: the library never falls
// back to an anonymous session, and signing is required, so that a server which turns a refused
// logon into a guest session (Samba's "map to guest = Bad Password") is refused too (a guest
// session cannot sign). A credentials file that cannot be used refuses every access (problem()).
// The password is handed to the library only.
class SmbSession {
public:
    // nullptr when the library cannot be set up.
    static std::shared_ptr<SmbSession> create(const SmbSettings& settings);
    ~SmbSession();
    SmbSession(const SmbSession&) = delete;
    SmbSession& operator=(const SmbSession&) = delete;

    // Held around every call into the library: the one mutex of the library (see SmbSession.cpp).
    static std::mutex& mutex() noexcept;
    SMBCCTX* context() const noexcept { return context_; }
    const SmbSettings& settings() const noexcept { return settings_; }

    // Why the credentials file of the settings cannot be used; nothing may then be asked of any
    // server. nullopt when there is none or it can be used.
    const std::optional<SmbCredentialsProblem>& problem() const noexcept {
        return credentials_.error;
    }
    // What the credentials file gave (empty when the settings name none).
    const SmbCredentialsFile& credentials() const noexcept { return credentials_; }

    // What logOn() gives: the library's handle, or nullptr with the errno of the last attempt
    // and, when Kerberos explains the failure better than that errno (an unusable cache, a refused
    // ticket, a server named by its address), that reason.
    struct Logon {
        void* handle = nullptr;
        int error = 0;
        platform::AccessFailure reason = platform::AccessFailure::None;
    };
    // Calls `request`, one call into the library that connects to `server` when the context has
    // no session there yet (the mutex held), with each logon of the server's order until one is
    // not refused; the method that served a server is tried first next time. Nothing is asked
    // when the credentials file cannot be used (EACCES, CredentialsUnusable). The logon used is
    // reported (SmbLogonReport.h).
    Logon logOn(const std::string& server, const std::function<void*()>& request);

    // Whether `server` is worth asking: a server on its SMB port (the settings' port, else 445
    // then 139) answers a negotiation within the timeout in a dialect the settings offer, or the
    // system's resolver does not know the name (the library's own name resolution may still find
    // it). The library itself would wait up to 20 s for a connection that is not refused.
    bool serverAnswers(const std::string& server) const;
    // How the server answered that probe.
    SmbReach reachServer(const std::string& server) const;

private:
    explicit SmbSession(const SmbSettings& settings);

    void apply(SmbLogonMethod method, const SmbCredentials* account);
    static void authenticate(SMBCCTX* context, const char* server, const char* share,
                             char* workgroup, int workgroupLength, char* username,
                             int usernameLength, char* password, int passwordLength);

    SMBCCTX* context_ = nullptr;
    SmbSettings settings_;
    SmbCredentialsFile credentials_; // empty when the settings name no file
    // The attempt under way (logOn), which the authentication callback answers for.
    SmbLogonMethod method_ = SmbLogonMethod::Guest;
    const SmbCredentials* account_ = nullptr;
    // Servers (letter case folded) and the method that logged on to each.
    std::map<std::string, SmbLogonMethod> served_;
};

// Contexts for several threads. A libsmbclient context must never be used by two threads at
// once, and serialising every call into one context would make each machine wait for the one
// asked before it: acquire() lends a context that no other thread holds (an idle one, or a new
// one), which comes back when the last holder of the lent pointer lets it go. Contexts keep their
// connections to servers while idle, as one context did.
class SmbSessionPool : public std::enable_shared_from_this<SmbSessionPool> {
public:
    static std::shared_ptr<SmbSessionPool> create(const SmbSettings& settings);
    SmbSessionPool(const SmbSessionPool&) = delete;
    SmbSessionPool& operator=(const SmbSessionPool&) = delete;

    // nullptr when the library cannot be set up.
    std::shared_ptr<SmbSession> acquire();
    const SmbSettings& settings() const noexcept { return settings_; }

private:
    explicit SmbSessionPool(const SmbSettings& settings) : settings_(settings) {}
    void giveBack(std::shared_ptr<SmbSession> session);

    // Idle contexts kept beyond this many are freed.
    static constexpr std::size_t kMaxIdle = 16;

    SmbSettings settings_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<SmbSession>> idle_;
    bool failed_ = false;
};

// libsmbclient writes to sockets that a server may have closed, and a write there raises SIGPIPE,
// whose default action ends the program. The library holds the signal back only in the thread
// that creates its context; every call into it holds it back in the calling thread too, and a
// SIGPIPE raised meanwhile is taken off the pending set.
class SigpipeGuard {
public:
    SigpipeGuard();
    ~SigpipeGuard();
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t saved_{};
    bool blocked_ = false;
    bool wasPending_ = false;
};

} // namespace lantrivex::smb
