// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/SmbCredentials.h"

#include "common/Ascii.h"

#include <fstream>

namespace lantrivex::platform::posix {
namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;

void wipe(std::string& secret) noexcept {
    if (!secret.empty()) {
        // A volatile pointer keeps the compiler from dropping the stores as dead.
        volatile char* p = secret.data();
        for (std::size_t i = 0; i < secret.size(); ++i) {
            p[i] = '\0';
        }
    }
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

enum class Field { None, User, Password, Domain };

Field fieldOf(std::string_view key) {
    const std::string k = asciiToLower(trimBlanks(key));
    if (k == "username" || k == "user") {
        return Field::User;
    }
    if (k == "password" || k == "pass") {
        return Field::Password;
    }
    if (k == "domain" || k == "dom" || k == "workgroup") {
        return Field::Domain;
    }
    return Field::None;
}

} // namespace

SmbCredentials::~SmbCredentials() {
    wipe(password);
}

std::optional<SmbCredentials> parseSmbCredentials(std::string_view text) {
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> domain;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string_view content = trimBlanks(line);
        if (content.empty() || content.front() == '#' || content.front() == ';') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view value = line.substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        switch (fieldOf(line.substr(0, equals))) {
        case Field::User:
            user = std::string(value);
            break;
        case Field::Password:
            if (password) {
                wipe(*password);
            }
            password = std::string(value);
            break;
        case Field::Domain:
            domain = std::string(value);
            break;
        case Field::None:
            break;
        }
    }
    if (!user) {
        if (password) {
            wipe(*password);
        }
        return std::nullopt;
    }

    SmbCredentials credentials;
    std::string name = std::move(*user);
    // user%password
    if (const auto percent = name.find('%'); percent != std::string::npos) {
        if (!password) {
            password = name.substr(percent + 1);
        }
        std::string head = name.substr(0, percent);
        wipe(name); // its tail held a password
        name = std::move(head);
    }
    // DOMAIN\user or DOMAIN/user
    if (const auto slash = name.find_first_of("\\/"); slash != std::string::npos) {
        if (!domain) {
            domain = name.substr(0, slash);
        }
        name.erase(0, slash + 1);
    }
    if (name.empty()) {
        if (password) {
            wipe(*password);
        }
        return std::nullopt;
    }
    credentials.username = std::move(name);
    if (password) {
        credentials.password = *password;
        wipe(*password);
    }
    if (domain) {
        credentials.domain = std::move(*domain);
    }
    return credentials;
}

std::optional<SmbCredentials> readSmbCredentialsFile(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text;
    text.resize(kMaxFileSize + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    std::optional<SmbCredentials> credentials;
    if (got <= kMaxFileSize && !in.bad()) {
        credentials = parseSmbCredentials(std::string_view(text.data(), got));
    }
    wipe(text);
    return credentials;
}

} // namespace lantrivex::platform::posix
