// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbShareAccess.h"

#include "smb/SmbCredentials.h"
#include "smb/SmbUrl.h"
#include "smb/TcpProbe.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#if defined(LANTRIVEX_WITH_SMB)
#include "smb/SmbSession.h"

#include <cerrno>
#include <fcntl.h>
#endif

namespace lantrivex::smb {

using namespace lantrivex::platform;
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

#if defined(LANTRIVEX_WITH_SMB)

namespace {

// The pieces asked of the server. A request must be answered within the timeout, so a piece is
// sized to what the link carried in a quarter of the timeout (as measured on the pieces before
// it), from kFirstReadPiece up to kMaxReadPiece and at most twice the piece before: the timeout
// then bounds a stall, not the time a large stream takes on a slow link.
constexpr std::size_t kFirstReadPiece = 16 * 1024;
constexpr std::size_t kMaxReadPiece = 1024 * 1024;

class SmbByteStream final : public ByteStream {
public:
    SmbByteStream(std::shared_ptr<SmbSession> session, SMBCFILE* file, std::int64_t size)
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
            const std::size_t want = std::min(capacity - total, piece_);
            ssize_t got = 0;
            const auto start = std::chrono::steady_clock::now();
            {
                std::lock_guard lock(session_->mutex());
                SigpipeGuard guard;
                errno = 0;
                got = smbc_getFunctionRead(session_->context())(session_->context(), file_,
                                                                buffer + total, want);
                if (got < 0) {
                    failure_ = failureOfErrno(errno);
                }
            }
            if (got <= 0) {
                ended_ = true; // the end, or an error: either way nothing more comes
                break;
            }
            total += static_cast<std::size_t>(got);
            adaptPiece(static_cast<std::size_t>(got), std::chrono::steady_clock::now() - start);
        }
        return total;
    }

    AccessFailure failure() const override { return failure_; }

private:
    void adaptPiece(std::size_t bytes, std::chrono::steady_clock::duration took) {
        const double seconds = std::chrono::duration<double>(took).count();
        const double timeout = std::chrono::duration<double>(session_->settings().timeout).count();
        const double fits = seconds > 0 ? static_cast<double>(bytes) / seconds * timeout / 4
                                        : static_cast<double>(kMaxReadPiece);
        // A piece at most doubles from one to the next: a burst of bytes that were waiting
        // (buffers along the link) says little of the link's rate.
        const auto next = static_cast<std::size_t>(std::clamp(
            fits, static_cast<double>(kFirstReadPiece / 4),
            std::min(static_cast<double>(kMaxReadPiece), 2.0 * static_cast<double>(piece_))));
        piece_ = std::max<std::size_t>(4096, next & ~std::size_t{4095});
    }

    std::shared_ptr<SmbSession> session_;
    SMBCFILE* file_;
    std::int64_t size_;
    std::size_t piece_ = kFirstReadPiece;
    bool ended_ = false;
    AccessFailure failure_ = AccessFailure::None;
};

// Whether the server is worth asking, and if not, why.
AccessFailure reachServer(const SmbSession& session, const std::string& server) {
    switch (session.reachServer(server)) {
    case SmbReach::Answers:
    case SmbReach::Unresolved:
        return AccessFailure::None;
    case SmbReach::Smb1Only:
        return session.settings().minProtocol.empty() ? AccessFailure::Smb1Only
                                                      : AccessFailure::None;
    case SmbReach::Refused:
        return AccessFailure::ConnectionRefused;
    case SmbReach::Silent:
        break;
    }
    return AccessFailure::TimedOut;
}

} // namespace

// The reason the library's errno gives for a failed request.
AccessFailure failureOfErrno(int error) {
    switch (error) {
    case ETIMEDOUT:
        return AccessFailure::TimedOut;
    case ECONNREFUSED:
        return AccessFailure::ConnectionRefused;
    case EACCES:
        return AccessFailure::AccessDenied;
    case EPERM:
        return AccessFailure::LogonRefused;
    default:
        return AccessFailure::Unreachable;
    }
}

SmbShareAccess::SmbShareAccess(std::shared_ptr<SmbSessionPool> sessions)
    : settings_(sessions->settings()), pool_(std::move(sessions)) {}

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbSession> SmbShareAccess::session() {
    std::lock_guard lock(mutex_);
    if (!pool_) {
        pool_ = SmbSessionPool::create(settings_);
    }
    return pool_->acquire();
}

StreamOpening SmbShareAccess::openStreamWithReason(const UncPath& path,
                                                   std::string_view streamName) {
    const auto current = session();
    if (!current) {
        return {nullptr, AccessFailure::Unreachable};
    }
    if (current->problem()) {
        return {nullptr, AccessFailure::CredentialsUnusable};
    }
    if (const AccessFailure failure = reachServer(*current, path.server);
        failure != AccessFailure::None) {
        return {nullptr, failure};
    }
    const std::string url = buildSmbUrl(path, settings_.port, streamName);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    const SmbSession::Logon logon = current->logOn(path.server, [&]() -> void* {
        return smbc_getFunctionOpen(context)(context, url.c_str(), O_RDONLY, 0);
    });
    auto* file = static_cast<SMBCFILE*>(logon.handle);
    if (file == nullptr) {
        return {nullptr, logon.reason != AccessFailure::None ? logon.reason
                         : logon.error == ENOENT             ? AccessFailure::Unreachable
                                                             : failureOfErrno(logon.error)};
    }
    struct stat st {};
    if (smbc_getFunctionFstat(context)(context, file, &st) != 0 || S_ISDIR(st.st_mode)) {
        smbc_getFunctionClose(context)(context, file);
        return {nullptr, AccessFailure::Unreachable};
    }
    return {std::make_unique<SmbByteStream>(current, file, static_cast<std::int64_t>(st.st_size)),
            AccessFailure::None};
}

std::unique_ptr<ByteStream> SmbShareAccess::openStream(const UncPath& path,
                                                       std::string_view streamName) {
    return openStreamWithReason(path, streamName).stream;
}

bool SmbShareAccess::folderExists(const UncPath& path) {
    const auto current = session();
    if (!current || current->problem() ||
        reachServer(*current, path.server) != AccessFailure::None) {
        return false;
    }
    const std::string url = buildSmbUrl(path, settings_.port);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    auto* folder = static_cast<SMBCFILE*>(
        current
            ->logOn(
                path.server,
                [&]() -> void* { return smbc_getFunctionOpendir(context)(context, url.c_str()); })
            .handle);
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

std::shared_ptr<SmbSessionPool> makeSmbSessions(const SmbSettings& settings) {
    SmbSettings bounded = settings;
    bounded.timeout = std::clamp(bounded.timeout, std::chrono::milliseconds(1), kMaxTimeout);
    return SmbSessionPool::create(bounded);
}

#else // built without libsmbclient: unmounted shares cannot be reached

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbSession> SmbShareAccess::session() {
    return nullptr;
}

StreamOpening SmbShareAccess::openStreamWithReason(const UncPath&, std::string_view) {
    return {nullptr, AccessFailure::Unreachable};
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

std::shared_ptr<SmbSessionPool> makeSmbSessions(const SmbSettings&) {
    return nullptr;
}

#endif

std::unique_ptr<RemoteShareAccess> makeSmbShareAccess() {
    return makeSmbShareAccess(SmbSettings::fromEnvironment());
}

} // namespace lantrivex::smb
