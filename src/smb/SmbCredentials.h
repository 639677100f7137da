// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lantrivex::smb {

// A secret (a password, a credentials file's text) in a buffer of its own that is wiped before it
// is freed, on every path: destruction, assignment, clear(); a move hands the buffer over, so no
// copy of the secret stays behind in the object moved from. While any such buffer holds a secret
// the process is not dumpable (no core file, no ptrace by other processes of the same user).
class SecretBuffer {
public:
    SecretBuffer() = default;
    explicit SecretBuffer(std::string_view text) { assign(text); }
    SecretBuffer(const SecretBuffer& other) { assign(other.view()); }
    SecretBuffer(SecretBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    SecretBuffer& operator=(const SecretBuffer& other) {
        if (this != &other) {
            assign(other.view());
        }
        return *this;
    }
    SecretBuffer& operator=(SecretBuffer&& other) noexcept {
        if (this != &other) {
            clear();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~SecretBuffer() { clear(); }

    // Replaces the secret; `text` must not point into this buffer.
    void assign(std::string_view text);
    // A buffer of `size` bytes, zeroed, to be filled through data().
    void allocate(std::size_t size);
    void clear() noexcept;

    char* data() noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    std::string_view view() const noexcept { return {data_, size_}; }

    // How many buffers hold a secret now (the process is dumpable again when none does).
    static std::size_t live() noexcept;

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

// A user name, domain and password for SMB servers. The password is never written anywhere.
struct SmbCredentials {
    std::string username;
    SecretBuffer password;
    std::string domain;
};

// A line of a credentials file that was not understood, or why the file cannot be used at all.
struct SmbCredentialsProblem {
    std::size_t line = 0; // 1-based; 0 for the file as a whole
    std::string english;
    std::string french;
};

// What a credentials file holds: the account of each [SERVER] section and the account of the keys
// before any section, which serves every server without a section of its own.
struct SmbCredentialsFile {
    std::optional<SmbCredentials> anyServer;
    std::vector<std::pair<std::string, SmbCredentials>> servers; // names with letter case folded
    // Set when the file cannot be used: then no account and no guest session is offered to any
    // server (SMB access is refused).
    std::optional<SmbCredentialsProblem> error;
    // Lines not understood (an unknown key, a line without "="): told, the rest is used.
    std::vector<SmbCredentialsProblem> warnings;

    // The account to offer `server` (its name as the program reaches it, letter case ignored):
    // its section's, else the keys before any section; nullptr when neither is given.
    const SmbCredentials* forServer(std::string_view server) const;
};

// Reads a credentials file in the form smbclient -A and mount.cifs credentials= read:
//     username = jdupont
//     password = secret
//     domain = CORP
//     [FILESRV]
//     username = CORP\admin
//     password = other
// one "key = value" a line; keys without regard to letter case, and the short forms "user",
// "pass", "dom" and "workgroup" are accepted; blanks before the value are dropped, the rest of the
// line (trailing blanks included, a CR before the line end excluded) is the value; lines starting
// with "#" or ";" are comments; a UTF-8 byte-order mark at the start is skipped. A "[NAME]" line
// starts the keys of the server NAME. A user name "DOMAIN\user" or "DOMAIN/user" carries its
// domain (unless a domain line gives one) and "user%password" its password (unless a password line
// gives one). Unknown keys and lines without "=" are warnings with their line; a file (or a
// section) that gives no user name is an error.
SmbCredentialsFile parseSmbCredentials(std::string_view text);

// The credentials file at `path`, read into a wiped buffer. Errors: the file cannot be opened (its
// reason), is not a regular file, is over 64 KiB, belongs to another user (root aside), or may be
// read or written by its group or others (the remedy: chmod 600), as ssh refuses such key files.
SmbCredentialsFile readSmbCredentialsFile(const std::string& path);

} // namespace lantrivex::smb
