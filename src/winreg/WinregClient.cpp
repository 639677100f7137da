// SPDX-License-Identifier: GPL-3.0-or-later
#include "winreg/WinregClient.h"

#include <algorithm>

namespace lantrivex::winreg {

using namespace lantrivex::platform;
namespace {

// Answers larger than this are not registry values of a server's settings.
constexpr std::size_t kMaxAnswer = 0x4000000 + 4096;

} // namespace

WinregClient::WinregClient(std::unique_ptr<RpcPipe> pipe, std::chrono::milliseconds deadline)
    : pipe_(std::move(pipe)), deadline_(deadline) {}

bool WinregClient::readFragment(winreg::PacketHeader& header, std::string& body) {
    std::string head;
    if (!pipe_->read(winreg::kHeaderSize, head)) {
        return false;
    }
    const auto parsed = winreg::parseHeader(head);
    if (!parsed || !pipe_->read(parsed->fragmentLength - winreg::kHeaderSize, body)) {
        return false;
    }
    header = *parsed;
    if (header.authLength != 0) {
        const std::size_t trailer = std::size_t{header.authLength} + 8;
        if (trailer > body.size()) {
            return false;
        }
        body.erase(body.size() - trailer);
    }
    return true;
}

RegistryError WinregClient::bind() {
    winreg::PacketHeader header;
    std::string body;
    const std::uint32_t callId = nextCallId_++;
    if (!pipe_->write(winreg::bindPacket(callId)) || !readFragment(header, body) ||
        header.callId != callId) {
        broken_ = true;
        return kRegBadNetPath;
    }
    const auto answer = winreg::parseBindAnswer(header, body);
    if (!answer || !answer->accepted) {
        broken_ = true;
        return kRegBadNetPath;
    }
    if (answer->maxReceiveFragment >= 64) {
        maxFragment_ = std::min<std::size_t>(maxFragment_, answer->maxReceiveFragment);
    }
    return kRegOk;
}

RegistryError WinregClient::call(std::uint16_t opnum, std::string_view request, std::string& stub) {
    stub.clear();
    if (broken_) {
        return kRegBadNetPath;
    }
    broken_ = true; // until the whole answer is in
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t callId = nextCallId_++;
    for (const std::string& packet : winreg::requestPackets(callId, opnum, request, maxFragment_)) {
        if (!pipe_->write(packet)) {
            return kRegBadNetPath;
        }
    }
    for (std::size_t fragments = 0; fragments < kMaxFragments; ++fragments) {
        if (fragments > 0 && deadline_ != kNoDeadline &&
            std::chrono::steady_clock::now() - start > deadline_) {
            return kRegBadNetPath;
        }
        winreg::PacketHeader header;
        std::string body;
        if (!readFragment(header, body) || header.callId != callId) {
            return kRegBadNetPath;
        }
        const auto fragment = winreg::parseResponseFragment(header, body);
        if (!fragment) {
            return kRegBadNetPath;
        }
        if (fragment->fault) {
            broken_ = false;
            return *fragment->fault == static_cast<std::uint32_t>(kRegAccessDenied)
                       ? kRegAccessDenied
                       : kRegBadNetPath;
        }
        if (stub.size() + fragment->stub.size() > kMaxAnswer) {
            return kRegBadNetPath;
        }
        stub.append(fragment->stub);
        if (fragment->last) {
            broken_ = false;
            return kRegOk;
        }
    }
    return kRegBadNetPath;
}

template <typename Result>
RegistryError WinregClient::invoke(std::uint16_t opnum, std::string_view request,
                                   std::optional<Result> (*parse)(std::string_view),
                                   Result& result) {
    std::string stub;
    if (const RegistryError e = call(opnum, request, stub)) {
        return e;
    }
    auto parsed = parse(stub);
    if (!parsed) {
        return kRegBadNetPath;
    }
    result = std::move(*parsed);
    return static_cast<RegistryError>(result.status);
}

RegistryError WinregClient::openLocalMachine(std::uint32_t access, winreg::KeyHandle& root) {
    winreg::HandleResult result;
    const RegistryError e = invoke(winreg::kOpOpenHklm, winreg::openHklmRequest(access),
                                   &winreg::parseHandleResult, result);
    if (e == kRegOk) {
        root = result.handle;
    }
    return e;
}

RegistryError WinregClient::openKey(const winreg::KeyHandle& parent, std::string_view path,
                                    std::uint32_t access, winreg::KeyHandle& key) {
    winreg::HandleResult result;
    const RegistryError e = invoke(winreg::kOpOpenKey, winreg::openKeyRequest(parent, path, access),
                                   &winreg::parseHandleResult, result);
    if (e == kRegOk) {
        key = result.handle;
    }
    return e;
}

RegistryError WinregClient::queryInfoKey(const winreg::KeyHandle& key,
                                         winreg::KeyInfoResult& info) {
    return invoke(winreg::kOpQueryInfoKey, winreg::queryInfoKeyRequest(key),
                  &winreg::parseKeyInfoResult, info);
}

RegistryError WinregClient::enumValue(const winreg::KeyHandle& key, std::uint32_t index,
                                      std::uint16_t nameBufferChars, std::string& name) {
    winreg::EnumValueResult result;
    const RegistryError e =
        invoke(winreg::kOpEnumValue, winreg::enumValueRequest(key, index, nameBufferChars),
               &winreg::parseEnumValueResult, result);
    if (e == kRegOk) {
        name = std::move(result.name);
    }
    return e;
}

RegistryError WinregClient::queryValue(const winreg::KeyHandle& key, std::string_view valueName,
                                       std::uint32_t bufferSize, winreg::QueryValueResult& value) {
    return invoke(winreg::kOpQueryValue, winreg::queryValueRequest(key, valueName, bufferSize),
                  &winreg::parseQueryValueResult, value);
}

RegistryError WinregClient::closeKey(const winreg::KeyHandle& key) {
    winreg::HandleResult result;
    return invoke(winreg::kOpCloseKey, winreg::closeKeyRequest(key), &winreg::parseHandleResult,
                  result);
}

} // namespace lantrivex::winreg
