// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::platform::posix {

// A user name, domain and password for SMB servers. The password is wiped from memory when the
// object goes away; it is never written anywhere.
struct SmbCredentials {
    std::string username;
    std::string password;
    std::string domain;

    SmbCredentials() = default;
    SmbCredentials(const SmbCredentials&) = default;
    SmbCredentials(SmbCredentials&&) noexcept = default;
    SmbCredentials& operator=(const SmbCredentials&) = default;
    SmbCredentials& operator=(SmbCredentials&&) noexcept = default;
    ~SmbCredentials();
};

// Reads a credentials file in the form smbclient -A and mount.cifs credentials= read:
//     username = jdupont
//     password = secret
//     domain = CORP
// one "key = value" a line; keys without regard to letter case, and the short forms "user",
// "pass", "dom" and "workgroup" are accepted; blanks before the value are dropped, the rest of the
// line (trailing blanks included, a CR before the line end excluded) is the value; lines starting
// with "#" or ";" and lines without "=" are ignored. A user name "DOMAIN\user" or "DOMAIN/user"
// carries its domain (unless a domain line gives one) and "user%password" its password (unless a
// password line gives one). nullopt when no user name is given.
std::optional<SmbCredentials> parseSmbCredentials(std::string_view text);

// The credentials of the file at `path`; nullopt when it cannot be read or names no user.
// Files over 64 KiB are not credentials files and are not read.
std::optional<SmbCredentials> readSmbCredentialsFile(const std::string& path);

} // namespace lantrivex::platform::posix
