// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbCredentials.h"

#include "common/Ascii.h"
#include "common/LetterCase.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::smb {

namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;

// The secrets held, and whether the process was dumpable before the first of them.
std::mutex secretsMutex;
std::size_t secretsHeld = 0;
int dumpableBefore = 0;

void secretTaken() {
    std::lock_guard lock(secretsMutex);
    if (secretsHeld++ == 0) {
        dumpableBefore = ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    }
}

void secretGone() noexcept {
    std::lock_guard lock(secretsMutex);
    if (secretsHeld > 0 && --secretsHeld == 0 && dumpableBefore > 0) {
        ::prctl(PR_SET_DUMPABLE, dumpableBefore, 0, 0, 0);
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

// The file's own keywords, ASCII in any letter case (server names fold as names).
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

SmbCredentialsProblem problem(std::size_t line, std::string english, std::string french) {
    return SmbCredentialsProblem{line, std::move(english), std::move(french)};
}

// The keys of one part of the file (before any section, or one section) as they are read.
struct Part {
    std::string server; // "" before any section
    std::size_t line = 0;
    std::optional<SecretBuffer> user; // may hold "user%password"
    std::optional<SecretBuffer> password;
    std::optional<std::string> domain;
};

// The account a part gives; an error when it names no user.
std::optional<SmbCredentials> accountOf(Part& part, SmbCredentialsFile& file) {
    const bool any = part.user || part.password || part.domain;
    if (!part.user) {
        if (any || !part.server.empty()) {
            file.error = problem(part.line, "no user name (username=) is given",
                                 "aucun nom d'utilisateur (username=) n'est donné");
        }
        return std::nullopt;
    }
    SmbCredentials credentials;
    const SecretBuffer name = std::move(*part.user);
    std::string_view rest = name.view();
    // user%password
    if (const auto percent = rest.find('%'); percent != std::string_view::npos) {
        if (!part.password) {
            part.password = SecretBuffer(rest.substr(percent + 1));
        }
        rest = rest.substr(0, percent);
    }
    // DOMAIN\user or DOMAIN/user
    if (const auto slash = rest.find_first_of("\\/"); slash != std::string_view::npos) {
        if (!part.domain) {
            part.domain = std::string(rest.substr(0, slash));
        }
        rest.remove_prefix(slash + 1);
    }
    if (rest.empty()) {
        file.error = problem(part.line, "no user name (username=) is given",
                             "aucun nom d'utilisateur (username=) n'est donné");
        return std::nullopt;
    }
    credentials.username = std::string(rest);
    if (part.password) {
        credentials.password = std::move(*part.password);
    }
    if (part.domain) {
        credentials.domain = std::move(*part.domain);
    }
    return credentials;
}

void finish(Part& part, SmbCredentialsFile& file) {
    auto account = accountOf(part, file);
    if (!account) {
        return;
    }
    if (part.server.empty()) {
        file.anyServer = std::move(account);
    } else {
        file.servers.emplace_back(part.server, std::move(*account));
    }
}

} // namespace

void SecretBuffer::assign(std::string_view text) {
    allocate(text.size());
    if (!text.empty()) {
        std::memcpy(data_, text.data(), text.size());
    }
}

void SecretBuffer::allocate(std::size_t size) {
    clear();
    if (size == 0) {
        return;
    }
    data_ = new char[size]();
    size_ = size;
    secretTaken();
}

void SecretBuffer::clear() noexcept {
    if (data_ != nullptr) {
        ::explicit_bzero(data_, size_);
        delete[] data_;
        data_ = nullptr;
        size_ = 0;
        secretGone();
    }
}

std::size_t SecretBuffer::live() noexcept {
    std::lock_guard lock(secretsMutex);
    return secretsHeld;
}

const SmbCredentials* SmbCredentialsFile::forServer(std::string_view server) const {
    if (error) {
        return nullptr;
    }
    const std::string folded = foldLetterCase(server);
    for (const auto& [name, account] : servers) {
        if (name == folded) {
            return &account;
        }
    }
    return anyServer ? &*anyServer : nullptr;
}

SmbCredentialsFile parseSmbCredentials(std::string_view text) {
    SmbCredentialsFile file;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Part part;
    for (std::size_t number = 1; !text.empty(); ++number) {
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
        if (content.front() == '[' && content.back() == ']') {
            const std::string name =
                foldLetterCase(trimBlanks(content.substr(1, content.size() - 2)));
            finish(part, file);
            if (file.error) {
                return file;
            }
            if (name.empty()) {
                file.error = problem(number, "a section names no server",
                                     "une section ne nomme aucun serveur");
                return file;
            }
            part = Part{};
            part.server = name;
            part.line = number;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            file.warnings.push_back(problem(number, "a line without \"=\" is ignored",
                                            "une ligne sans « = » est ignorée"));
            continue;
        }
        std::string_view value = line.substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        if (part.line == 0) {
            part.line = number;
        }
        switch (fieldOf(line.substr(0, equals))) {
        case Field::User:
            part.user = SecretBuffer(value);
            break;
        case Field::Password:
            part.password = SecretBuffer(value);
            break;
        case Field::Domain:
            part.domain = std::string(value);
            break;
        case Field::None: {
            const std::string key(trimBlanks(line.substr(0, equals)));
            file.warnings.push_back(problem(number, "unknown key \"" + key + "\" is ignored",
                                            "la clé inconnue « " + key + " » est ignorée"));
            break;
        }
        }
    }
    finish(part, file);
    if (!file.error && !file.anyServer && file.servers.empty()) {
        file.error = problem(0, "no user name (username=) is given",
                             "aucun nom d'utilisateur (username=) n'est donné");
    }
    if (file.error) {
        file.anyServer.reset();
        file.servers.clear();
    }
    return file;
}

SmbCredentialsFile readSmbCredentialsFile(const std::string& path) {
    SmbCredentialsFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        file.error = problem(0, std::strerror(error),
                             error == ENOENT   ? "fichier introuvable"
                             : error == EACCES ? "lecture refusée"
                                               : std::strerror(error));
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        file.error = problem(0, "not a regular file", "ce n'est pas un fichier ordinaire");
    } else if (st.st_uid != ::geteuid() && st.st_uid != 0) {
        file.error = problem(0, "the file belongs to another user",
                             "le fichier appartient à un autre utilisateur");
    } else if ((st.st_mode & 077) != 0) {
        file.error = problem(0,
                             "the file may be read or changed by other users than its owner; "
                             "make it private with: chmod 600 " +
                                 path,
                             "d'autres utilisateurs que son propriétaire peuvent lire ou modifier "
                             "le fichier ; rendez-le privé avec : chmod 600 " +
                                 path);
    } else if (st.st_size > static_cast<off_t>(kMaxFileSize)) {
        file.error = problem(0, "over 64 KiB: not a credentials file",
                             "plus de 64 Kio : pas un fichier d'identification");
    }
    if (file.error) {
        ::close(fd);
        return file;
    }
    SecretBuffer text;
    text.allocate(kMaxFileSize + 1);
    std::size_t got = 0;
    bool failed = false;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) {
        file.error = problem(0, "the file could not be read", "le fichier n'a pu être lu");
    } else if (got > kMaxFileSize) {
        file.error = problem(0, "over 64 KiB: not a credentials file",
                             "plus de 64 Kio : pas un fichier d'identification");
    } else {
        file = parseSmbCredentials(text.view().substr(0, got));
    }
    return file;
}

} // namespace lantrivex::smb
