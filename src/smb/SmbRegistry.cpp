// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbRegistry.h"

#include "common/LetterCase.h"

#include <utility>

#if defined(LANTRIVEX_WITH_SMB)
#include "common/Utf8.h"
#include "smb/SmbPipe.h"
#include "winreg/WinregClient.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#endif

namespace lantrivex::smb {

using namespace lantrivex::platform;

#if defined(LANTRIVEX_WITH_SMB)

namespace {

// Names are asked for into a buffer of the longest name a value can have; whether the name fits
// the caller's buffer is decided here, as for the other providers.
constexpr std::uint16_t kValueNameChars = 16384;
// The smallest data buffer offered: the key's largest value when the service tells it, else this;
// answers of "more data" make it grow up to the largest the service sends. Only the value's own
// bytes travel, whatever the buffer.
constexpr std::uint32_t kFirstDataBuffer = 4096;
constexpr std::uint32_t kMaxDataBuffer = 0x4000000;

bool isStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

class WinregKey final : public RegistryKey {
public:
    WinregKey(std::shared_ptr<winreg::WinregClient> client, const winreg::KeyHandle& handle)
        : client_(std::move(client)), handle_(handle) {}
    ~WinregKey() override { client_->closeKey(handle_); }
    WinregKey(const WinregKey&) = delete;
    WinregKey& operator=(const WinregKey&) = delete;

    RegistryError enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                                std::string& name) override {
        if (index < 0) {
            return kRegNoMoreItems;
        }
        std::string units;
        if (const RegistryError e = client_->enumValue(handle_, static_cast<std::uint32_t>(index),
                                                       kValueNameChars, units)) {
            return e;
        }
        auto found = utf16leToUtf8(units);
        if (!found) {
            return kRegInvalidParameter;
        }
        if (utf8CharacterCount(*found) + 1 > nameBufferSize) {
            return kRegMoreData;
        }
        name = std::move(*found);
        return kRegOk;
    }

    RegistryError queryValueCount(std::uint32_t& count) override {
        winreg::KeyInfoResult info;
        const RegistryError e = client_->queryInfoKey(handle_, info);
        count = e == kRegOk ? info.values : 0;
        return e;
    }

    RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                 std::uint32_t& dataSize) override {
        if (const RegistryError e = fetch(valueName)) {
            return e;
        }
        type = cachedType_;
        dataSize = static_cast<std::uint32_t>(cachedData_.size());
        return kRegOk;
    }

    RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                 std::uint32_t& type, std::string& data) override {
        if (const RegistryError e = fetch(valueName)) {
            return e;
        }
        if (cachedData_.size() > bufferSize) {
            return kRegMoreData;
        }
        type = cachedType_;
        data = cachedData_;
        return kRegOk;
    }

private:
    // The value `valueName` into the cache (the last value read: a size asked for and then the
    // data cost one call).
    RegistryError fetch(std::string_view valueName) {
        if (cachedName_ && *cachedName_ == valueName) {
            return kRegOk;
        }
        cachedName_.reset();
        if (buffer_ == 0) {
            winreg::KeyInfoResult info;
            buffer_ = client_->queryInfoKey(handle_, info) == kRegOk
                          ? std::clamp(info.maxValueDataSize, kFirstDataBuffer, kMaxDataBuffer)
                          : kFirstDataBuffer;
        }
        winreg::QueryValueResult value;
        RegistryError e = client_->queryValue(handle_, valueName, buffer_, value);
        // The service may report the size it was offered rather than the size needed: grow.
        while (e == kRegMoreData && buffer_ < kMaxDataBuffer) {
            buffer_ = std::min(kMaxDataBuffer, std::max(value.size, buffer_ * 2));
            e = client_->queryValue(handle_, valueName, buffer_, value);
        }
        if (e != kRegOk) {
            return e;
        }
        if (isStringType(value.type)) {
            value.data.resize(value.data.size() & ~std::size_t{1});
            auto text = utf16leToUtf8(value.data);
            if (!text) {
                return kRegInvalidParameter;
            }
            value.data = std::move(*text);
        }
        cachedType_ = value.type;
        cachedData_ = std::move(value.data);
        cachedName_ = std::string(valueName);
        return kRegOk;
    }

    std::shared_ptr<winreg::WinregClient> client_;
    winreg::KeyHandle handle_;
    std::uint32_t buffer_ = 0; // the data buffer offered; 0 until the key's largest value is known
    std::optional<std::string> cachedName_;
    std::uint32_t cachedType_ = 0;
    std::string cachedData_;
};

class WinregHive final : public RegistryHive {
public:
    WinregHive(std::shared_ptr<winreg::WinregClient> client, const winreg::KeyHandle& root)
        : client_(std::move(client)), root_(root) {}
    ~WinregHive() override { client_->closeKey(root_); }
    WinregHive(const WinregHive&) = delete;
    WinregHive& operator=(const WinregHive&) = delete;

    RegistryError openKey(std::string_view path, std::uint32_t access,
                          std::unique_ptr<RegistryKey>& key) override {
        if (asksBeyondReading(access)) {
            return kRegAccessDenied;
        }
        winreg::KeyHandle handle{};
        if (const RegistryError e = client_->openKey(root_, path, kKeyRead, handle)) {
            return e;
        }
        key = std::make_unique<WinregKey>(client_, handle);
        return kRegOk;
    }

private:
    std::shared_ptr<winreg::WinregClient> client_;
    winreg::KeyHandle root_;
};

// The reason a failed opening of the winreg pipe gives: the library's errno, and what the
// probe of the server found.
AccessFailure pipeFailure(int error, SmbReach reach) {
    const AccessFailure failure = failureOfErrno(error);
    return failure == AccessFailure::Unreachable && reach == SmbReach::Unresolved
               ? AccessFailure::NameNotFound
               : failure;
}

} // namespace

SmbRegistry::SmbRegistry(SmbSettings settings) : settings_(std::move(settings)) {}

SmbRegistry::SmbRegistry(std::shared_ptr<SmbSessionPool> sessions)
    : settings_(sessions->settings()), pool_(std::move(sessions)) {}

SmbRegistry::~SmbRegistry() = default;

SmbRegistry::Failure SmbRegistry::connectLive(const std::string& machineName, bool probe,
                                              std::unique_ptr<RegistryHive>& hive) {
    std::shared_ptr<SmbSession> session;
    {
        const std::lock_guard lock(mutex_);
        if (!pool_) {
            pool_ = SmbSessionPool::create(settings_);
        }
        session = pool_->acquire();
    }
    if (session) {
        const std::lock_guard lock(mutex_);
        if (!credentialsTold_) {
            tellCredentials(session->credentials());
        }
    }
    if (session && session->problem()) {
        return {kRegAccessDenied, AccessFailure::CredentialsUnusable};
    }
    if (!session) {
        return {kRegBadNetPath, AccessFailure::Unreachable};
    }
    SmbReach reach = SmbReach::Answers;
    if (probe) {
        reach = session->reachServer(machineName);
        if (reach == SmbReach::Refused) {
            return {kRegBadNetPath, AccessFailure::ConnectionRefused};
        }
        if (reach == SmbReach::Silent) {
            return {kRegBadNetPath, AccessFailure::TimedOut};
        }
        if (reach == SmbReach::Smb1Only && settings_.minProtocol.empty()) {
            return {kRegBadNetPath, AccessFailure::Smb1Only};
        }
    }
    int error = 0;
    AccessFailure logonReason = AccessFailure::None;
    auto pipe = SmbPipe::open(session, machineName, "winreg", error, logonReason);
    if (!pipe) {
        const AccessFailure reason =
            logonReason != AccessFailure::None ? logonReason : pipeFailure(error, reach);
        return {reason == AccessFailure::AccessDenied || reason == AccessFailure::LogonRefused ||
                        logonReason != AccessFailure::None
                    ? kRegAccessDenied
                    : kRegBadNetPath,
                reason};
    }
    auto client = std::make_shared<winreg::WinregClient>(std::move(pipe), settings_.timeout);
    winreg::KeyHandle root{};
    if (const RegistryError e = client->bind()) {
        return {e, registryErrorFailure(e)};
    }
    if (const RegistryError e = client->openLocalMachine(kKeyRead, root)) {
        return {e, registryErrorFailure(e)};
    }
    hive = std::make_unique<WinregHive>(std::move(client), root);
    return {};
}

#else // built without libsmbclient: no machine can be reached

SmbRegistry::SmbRegistry(SmbSettings settings) : settings_(std::move(settings)) {}

SmbRegistry::~SmbRegistry() = default;

SmbRegistry::Failure SmbRegistry::connectLive(const std::string&, bool,
                                              std::unique_ptr<RegistryHive>&) {
    return {kRegBadNetPath, AccessFailure::Unreachable};
}

#endif

RegistryError SmbRegistry::localMachine(std::unique_ptr<RegistryHive>&) {
    return kRegBadNetPath;
}

RegistryError SmbRegistry::connect(std::string_view machineName,
                                   std::unique_ptr<RegistryHive>& hive) {
    if (machineName.empty()) {
        return kRegBadNetPath;
    }
    const std::string folded = foldLetterCase(machineName);
    bool probe = true;
    {
        std::unique_lock lock(mutex_);
        answered_.wait(lock, [&] { return !asking_.contains(folded); });
        if (const auto failed = failed_.find(folded); failed != failed_.end()) {
            return failed->second.error;
        }
        probe = !reached_.contains(folded);
        asking_.insert(folded);
    }
    const Failure failure = connectLive(std::string(machineName), probe, hive);
    {
        const std::lock_guard lock(mutex_);
        asking_.erase(folded);
        if (failure.error != kRegOk) {
            failed_.emplace(folded, failure);
        } else {
            reached_.insert(folded);
        }
    }
    answered_.notify_all();
    return failure.error;
}

void SmbRegistry::beginRebuild() {
    const std::lock_guard lock(mutex_);
    failed_.clear();
    reached_.clear();
    credentialsTold_ = false;
}

// The mutex held.
void SmbRegistry::tellCredentials(const SmbCredentialsFile& file) {
    credentialsTold_ = true;
    const auto tell = [this](const SmbCredentialsProblem& p, bool unusable) {
        problems_.push_back(RegistryProblem{settings_.credentialsFile, p.line, unusable, p.english,
                                            p.french, true});
    };
    if (file.error) {
        tell(*file.error, true);
    }
    for (const SmbCredentialsProblem& warning : file.warnings) {
        tell(warning, false);
    }
}

std::vector<RegistryProblem> SmbRegistry::takeProblems() {
    const std::lock_guard lock(mutex_);
    if (!credentialsTold_ && !settings_.credentialsFile.empty()) {
        tellCredentials(readSmbCredentialsFile(settings_.credentialsFile));
    }
    return std::exchange(problems_, {});
}

AccessFailure SmbRegistry::connectFailure(std::string_view machineName) {
    if (machineName.empty()) {
        return AccessFailure::Unreachable;
    }
    const std::lock_guard lock(mutex_);
    const auto failed = failed_.find(foldLetterCase(machineName));
    return failed == failed_.end() ? AccessFailure::None : failed->second.reason;
}

} // namespace lantrivex::smb
