// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "smb/RemoteShareAccess.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace lantrivex::smb {

class SmbSession; // the library's context and what it needs (defined where libsmbclient is)
class SmbSessionPool;

// How the program reaches SMB servers directly. A Windows path names no port and no account, so
// both come from here. fromEnvironment() reads:
//   LANTRIVEX_SMB_PORT          the TCP port of every server, 1..65535; unset: 445, then 139
//   LANTRIVEX_SMB_TIMEOUT       seconds, 1..300, default 5: the longest wait for a TCP
//                               connection, for each answer of a server and for the next bytes
//                               of a stream being read (a stall, not a slow transfer)
//   LANTRIVEX_SMB_CREDENTIALS   path of a credentials file (username=, password=, domain=, the
//                               smbclient -A and mount.cifs credentials= form)
//   LANTRIVEX_SMB_MIN_PROTOCOL  the oldest dialect offered, as smb.conf's "client min protocol"
//                               names it; "NT1" reaches servers that speak only SMB1 (Windows NT
//                               4, Windows 2000); unset: the library's default (SMB 2.02)
// Values out of range or not numbers fall back to the default.
struct SmbSettings {
    static constexpr std::chrono::milliseconds kDefaultTimeout{5000};

    std::uint16_t port = 0; // 0: 445, then 139
    std::chrono::milliseconds timeout = kDefaultTimeout;
    std::string credentialsFile;
    std::string minProtocol;
    // Offer the user's Kerberos ticket first when the credentials cache (KRB5CCNAME, or the
    // default /tmp/krb5cc_<uid>) holds a usable one; then the file's account (SmbLogon.h).
    bool kerberos = true;

    // `lookup` gives an environment variable's value or nullptr.
    static SmbSettings
    fromEnvironment(const std::function<const char*(const char*)>& lookup = &::getenv);
};

// Reads streams and tests folders on shares through libsmbclient, for the paths that no mount
// covers:
//   stream  smb://SERVER/SHARE/rest:STREAM opened read-only, its size from fstat, read in pieces
//           sized to the link (each must come within the timeout; at most 1 MiB);
//   folder  smb://SERVER/SHARE/rest opened as a directory and closed at once.
// Library contexts (SmbSession: context, credentials, quiet logging, no silent anonymous logon)
// come from a pool made on first use: each call, and each stream while it is open, holds one that
// no other thread uses, so that threads reading different servers do not wait for each other.
// Before each open the server is first reached by TCP within the timeout, since the library waits
// up to 20 s for a connection that is not refused; each request then waits at most the timeout.
// A server name that the system's resolver does not know is left to the library's own name
// resolution (NetBIOS broadcast, WINS), which has its own bounds. Connections to servers stay
// open in the contexts for later reads, as Windows keeps its own.
// Every failure (no server, refused, no such share, folder or stream, access denied, a timeout)
// gives nullptr or false; openStreamWithReason() tells why. Safe to use from several threads.
class SmbShareAccess final : public RemoteShareAccess {
public:
    // With sessions of its own, made from `settings`.
    explicit SmbShareAccess(SmbSettings settings);
    // With the sessions (and their settings) it shares with the live registry.
    explicit SmbShareAccess(std::shared_ptr<SmbSessionPool> sessions);
    ~SmbShareAccess() override;
    SmbShareAccess(const SmbShareAccess&) = delete;
    SmbShareAccess& operator=(const SmbShareAccess&) = delete;

    std::unique_ptr<platform::ByteStream> openStream(const platform::UncPath& path,
                                                     std::string_view streamName) override;
    platform::StreamOpening openStreamWithReason(const platform::UncPath& path,
                                                 std::string_view streamName) override;
    bool folderExists(const platform::UncPath& path) override;

    const SmbSettings& settings() const noexcept { return settings_; }

private:
    std::shared_ptr<SmbSession> session();

    SmbSettings settings_;
    std::mutex mutex_;
    std::shared_ptr<SmbSessionPool> pool_;
};

// True when this build reaches unmounted shares (built with libsmbclient).
bool smbAccessBuiltIn() noexcept;

// The sessions that the platform's share access and live registry share, made from `settings`:
// the one owner of the library's contexts. nullptr when the program was built without libsmbclient.
std::shared_ptr<SmbSessionPool> makeSmbSessions(const SmbSettings& settings);

// The reason the library's errno gives for a failed request (a build with libsmbclient only).
platform::AccessFailure failureOfErrno(int error);

// The access the POSIX platform gives its stream reader and folder probe, with the settings of
// the environment; nullptr when the program was built without libsmbclient (unmounted shares then
// read as unreachable).
std::unique_ptr<RemoteShareAccess> makeSmbShareAccess();
std::unique_ptr<RemoteShareAccess> makeSmbShareAccess(const SmbSettings& settings);

} // namespace lantrivex::smb
