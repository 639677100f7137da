#include "platform/posix/SmbShareAccess.h"

#include "platform/posix/SmbCredentials.h"
#include "platform/posix/SmbUrl.h"
#include "platform/posix/TcpProbe.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#if defined(LANTRIVEX_WITH_SMB)
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <libsmbclient.h>
#endif

namespace lantrivex::platform::posix {
namespace {

constexpr std::chrono::milliseconds kMaxTimeout{300'000};

// A whole decimal number in [low, high], or nullopt.
std::optional<long> parseNumber(const char* text, long low, long high) {
    if (text == nullptr) {
        return std::nullopt;
    }
    const std::string_view s(text);
    long value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc{} || end != s.data() + s.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

} // namespace

SmbSettings SmbSettings::fromEnvironment(const std::function<const char*(const char*)>& lookup) {
    SmbSettings settings;
    if (const auto port = parseNumber(lookup("LANTRIVEX_SMB_PORT"), 1, 65535)) {
        settings.port = static_cast<std::uint16_t>(*port);
    }
    if (const auto seconds =
            parseNumber(lookup("LANTRIVEX_SMB_TIMEOUT"), 1, kMaxTimeout.count() / 1000)) {
        settings.timeout = std::chrono::seconds(*seconds);
    }
    if (const char* file = lookup("LANTRIVEX_SMB_CREDENTIALS")) {
        settings.credentialsFile = file;
    }
    if (const char* protocol = lookup("LANTRIVEX_SMB_MIN_PROTOCOL")) {
        settings.minProtocol = protocol;
    }
    return settings;
}

SmbShareAccess::SmbShareAccess(SmbSettings settings) : settings_(std::move(settings)) {
    settings_.timeout = std::clamp(settings_.timeout, std::chrono::milliseconds(1), kMaxTimeout);
}

bool SmbShareAccess::serverAnswers(const std::string& server) const {
    static constexpr std::array<std::uint16_t, 2> kDefaultPorts{kDefaultSmbPort, 139};
    const std::array<std::uint16_t, 1> configured{settings_.port};
    const auto reach = settings_.port != 0 ? probeTcp(server, configured, settings_.timeout)
                                           : probeTcp(server, kDefaultPorts, settings_.timeout);
    // A name the system's resolver does not know may still be a NetBIOS name that the library
    // finds by its own means: let it try.
    return reach != TcpReach::Unreachable;
}

#if defined(LANTRIVEX_WITH_SMB)

namespace {

// libsmbclient writes to sockets that a server may have closed, and a write there raises SIGPIPE,
// whose default action ends the program. The library holds the signal back only in the thread
// that creates its context; every call from here holds it back in the calling thread too, and a
// SIGPIPE raised meanwhile is taken off the pending set.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        blocked_ = pthread_sigmask(SIG_BLOCK, &pipe, &saved_) == 0;
    }
    ~SigpipeGuard() {
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
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t saved_{};
    bool blocked_ = false;
    bool wasPending_ = false;
};

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

class SmbShareAccess::Session {
public:
    static std::shared_ptr<Session> create(const SmbSettings& settings) {
        auto session = std::shared_ptr<Session>(new Session);
        session->credentials_ = readSmbCredentialsFile(settings.credentialsFile);
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
        smbc_setFunctionAuthDataWithContext(context, &Session::authenticate);
        smbc_setOptionUseKerberos(context, session->kerberos_ ? 1 : 0);
        smbc_setOptionFallbackAfterKerberos(context, 1);
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

    ~Session() {
        if (context_ != nullptr) {
            std::lock_guard lock(mutex_);
            SigpipeGuard guard;
            smbc_free_context(context_, 1);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::mutex& mutex() noexcept { return mutex_; }
    SMBCCTX* context() const noexcept { return context_; }

private:
    Session() = default;

    static void authenticate(SMBCCTX* context, const char* /*server*/, const char* /*share*/,
                             char* workgroup, int workgroupLength, char* username,
                             int usernameLength, char* password, int passwordLength) {
        const auto* session = static_cast<const Session*>(smbc_getOptionUserData(context));
        if (session != nullptr && session->credentials_) {
            const SmbCredentials& c = *session->credentials_;
            copyInto(username, usernameLength, c.username);
            copyInto(password, passwordLength, c.password);
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

    std::mutex mutex_;
    SMBCCTX* context_ = nullptr;
    std::optional<SmbCredentials> credentials_;
    bool kerberos_ = false;
};

namespace {

// The largest piece asked of the server in one call.
constexpr std::size_t kReadChunk = 1024 * 1024;

class SmbByteStream final : public ByteStream {
public:
    SmbByteStream(std::shared_ptr<SmbShareAccess::Session> session, SMBCFILE* file,
                  std::int64_t size)
        : session_(std::move(session)), file_(file), size_(size) {}

    ~SmbByteStream() override {
        std::lock_guard lock(session_->mutex());
        SigpipeGuard guard;
        smbc_getFunctionClose(session_->context())(session_->context(), file_);
    }
    SmbByteStream(const SmbByteStream&) = delete;
    SmbByteStream& operator=(const SmbByteStream&) = delete;

    std::int64_t size() override { return size_; }

    std::size_t read(std::byte* buffer, std::size_t capacity) override {
        std::size_t total = 0;
        while (total < capacity && !ended_) {
            const std::size_t want = std::min(capacity - total, kReadChunk);
            ssize_t got = 0;
            {
                std::lock_guard lock(session_->mutex());
                SigpipeGuard guard;
                got = smbc_getFunctionRead(session_->context())(session_->context(), file_,
                                                                buffer + total, want);
            }
            if (got <= 0) {
                ended_ = true; // the end, or an error: either way nothing more comes
                break;
            }
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

private:
    std::shared_ptr<SmbShareAccess::Session> session_;
    SMBCFILE* file_;
    std::int64_t size_;
    bool ended_ = false;
};

} // namespace

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbShareAccess::Session> SmbShareAccess::session() {
    std::lock_guard lock(mutex_);
    if (!session_ && !sessionFailed_) {
        session_ = Session::create(settings_);
        sessionFailed_ = !session_;
    }
    return session_;
}

std::unique_ptr<ByteStream> SmbShareAccess::openStream(const UncPath& path,
                                                       std::string_view streamName) {
    const auto current = session();
    if (!current || !serverAnswers(path.server)) {
        return nullptr;
    }
    const std::string url = buildSmbUrl(path, settings_.port, streamName);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    SMBCFILE* file = smbc_getFunctionOpen(context)(context, url.c_str(), O_RDONLY, 0);
    if (file == nullptr) {
        return nullptr;
    }
    struct stat st {};
    if (smbc_getFunctionFstat(context)(context, file, &st) != 0 || S_ISDIR(st.st_mode)) {
        smbc_getFunctionClose(context)(context, file);
        return nullptr;
    }
    return std::make_unique<SmbByteStream>(current, file, static_cast<std::int64_t>(st.st_size));
}

bool SmbShareAccess::folderExists(const UncPath& path) {
    const auto current = session();
    if (!current || !serverAnswers(path.server)) {
        return false;
    }
    const std::string url = buildSmbUrl(path, settings_.port);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    SMBCFILE* folder = smbc_getFunctionOpendir(context)(context, url.c_str());
    if (folder == nullptr) {
        return false;
    }
    smbc_getFunctionClosedir(context)(context, folder);
    return true;
}

bool smbAccessBuiltIn() noexcept {
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
// libsmbclient loses a small allocation of its own (the log file's name, made by talloc) with
// every context. Sanitized builds of every program that links this access would otherwise end
// with a leak report that is none of theirs. The frames inside the library carry no frame
// pointers, so the allocator's module is all there is to match.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libtalloc.so\n";
}
#endif

std::unique_ptr<RemoteShareAccess> makeSmbShareAccess(const SmbSettings& settings) {
    return std::make_unique<SmbShareAccess>(settings);
}

#else // built without libsmbclient: unmounted shares cannot be reached

class SmbShareAccess::Session {};

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbShareAccess::Session> SmbShareAccess::session() {
    return nullptr;
}

std::unique_ptr<ByteStream> SmbShareAccess::openStream(const UncPath&, std::string_view) {
    return nullptr;
}

bool SmbShareAccess::folderExists(const UncPath&) {
    return false;
}

bool smbAccessBuiltIn() noexcept {
    return false;
}

std::unique_ptr<RemoteShareAccess> makeSmbShareAccess(const SmbSettings&) {
    return nullptr;
}

#endif

std::unique_ptr<RemoteShareAccess> makeSmbShareAccess() {
    return makeSmbShareAccess(SmbSettings::fromEnvironment());
}

} // namespace lantrivex::platform::posix
