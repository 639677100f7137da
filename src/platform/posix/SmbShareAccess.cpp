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
#include "platform/posix/SmbSession.h"

#include <fcntl.h>
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

#if defined(LANTRIVEX_WITH_SMB)

namespace {

// The largest piece asked of the server in one call.
constexpr std::size_t kReadChunk = 1024 * 1024;

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
    std::shared_ptr<SmbSession> session_;
    SMBCFILE* file_;
    std::int64_t size_;
    bool ended_ = false;
};

} // namespace

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbSession> SmbShareAccess::session() {
    std::lock_guard lock(mutex_);
    if (!session_ && !sessionFailed_) {
        session_ = SmbSession::create(settings_);
        sessionFailed_ = !session_;
    }
    return session_;
}

std::unique_ptr<ByteStream> SmbShareAccess::openStream(const UncPath& path,
                                                       std::string_view streamName) {
    const auto current = session();
    if (!current || current->problem() || !current->serverAnswers(path.server)) {
        return nullptr;
    }
    const std::string url = buildSmbUrl(path, settings_.port, streamName);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    if (!current->prepareFor(path.server)) {
        return nullptr;
    }
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
    if (!current || current->problem() || !current->serverAnswers(path.server)) {
        return false;
    }
    const std::string url = buildSmbUrl(path, settings_.port);
    SMBCCTX* context = current->context();
    std::lock_guard lock(current->mutex());
    SigpipeGuard guard;
    if (!current->prepareFor(path.server)) {
        return false;
    }
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

SmbShareAccess::~SmbShareAccess() = default;

std::shared_ptr<SmbSession> SmbShareAccess::session() {
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
