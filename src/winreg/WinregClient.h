// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"
#include "winreg/WinregProtocol.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::winreg {

// A message pipe to a machine's winreg service.
class RpcPipe {
public:
    virtual ~RpcPipe() = default;
    // Writes one whole message; false on any failure.
    virtual bool write(std::string_view message) = 0;
    // Reads exactly `count` bytes into `out` (replaced); false on any failure. Never asks for more
    // than `count`: a read beyond the end of a reply waits for a reply that does not come.
    virtual bool read(std::size_t count, std::string& out) = 0;
};

// The calls of the winreg service over one pipe, with their results as the registry functions
// give them: 0, or the server's Windows error code (2 no such key or value, 5 access denied, 234
// more data, 259 no more items); kRegBadNetPath when the pipe fails or the answer is not
// understood; a fault's status when the server refuses the call itself.
//
// Every answer is bounded, whatever the server sends: at most kMaxFragments fragments (empty ones
// count too), at most 64 MiB of results, and the whole answer within `deadline` of the request
// (each read of the pipe has its own timeout below that); beyond a bound the call fails as a
// broken pipe.
class WinregClient {
public:
    static constexpr std::size_t kMaxFragments = 65536; // a 64 MiB answer in 1 KiB fragments
    static constexpr std::chrono::milliseconds kNoDeadline = std::chrono::milliseconds::max();

    explicit WinregClient(std::unique_ptr<RpcPipe> pipe,
                          std::chrono::milliseconds deadline = kNoDeadline);

    // Binds the pipe to the service; kRegOk or kRegBadNetPath.
    platform::RegistryError bind();

    platform::RegistryError openLocalMachine(std::uint32_t access, winreg::KeyHandle& root);
    platform::RegistryError openKey(const winreg::KeyHandle& parent, std::string_view path,
                                    std::uint32_t access, winreg::KeyHandle& key);
    platform::RegistryError queryInfoKey(const winreg::KeyHandle& key, winreg::KeyInfoResult& info);
    // The name of the value at `index` (UTF-16LE), into a server buffer of `nameBufferChars`.
    platform::RegistryError enumValue(const winreg::KeyHandle& key, std::uint32_t index,
                                      std::uint16_t nameBufferChars, std::string& name);
    // The type and data of `valueName` into a server buffer of `bufferSize` bytes; on
    // kRegMoreData `value.size` is what the server reported.
    platform::RegistryError queryValue(const winreg::KeyHandle& key, std::string_view valueName,
                                       std::uint32_t bufferSize, winreg::QueryValueResult& value);
    platform::RegistryError closeKey(const winreg::KeyHandle& key);

private:
    // One call: the answer's stub (every fragment's, in order) or an error.
    platform::RegistryError call(std::uint16_t opnum, std::string_view request, std::string& stub);
    // One call whose answer `parse` reads into `result`: the call's error, or the answer's status.
    template <typename Result>
    platform::RegistryError invoke(std::uint16_t opnum, std::string_view request,
                                   std::optional<Result> (*parse)(std::string_view),
                                   Result& result);
    // One fragment: its header and what follows it (authentication trailer removed).
    bool readFragment(winreg::PacketHeader& header, std::string& body);

    std::unique_ptr<RpcPipe> pipe_;
    std::chrono::milliseconds deadline_;
    std::uint32_t nextCallId_ = 1;
    std::size_t maxFragment_ = winreg::kMaxFragment;
    bool broken_ = false; // a call failed half-way: the pipe's state is unknown
};

} // namespace lantrivex::winreg
