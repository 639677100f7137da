// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The messages of the remote registry service ("winreg", reached through the named pipe \winreg
// of a machine's IPC$ share): DCE/RPC connection-oriented packets carrying the calls in NDR, little
// endian. Pure functions from values to bytes and back; the transport is elsewhere.
namespace lantrivex::winreg {

// --- DCE/RPC packets ---------------------------------------------------------------------------

inline constexpr std::uint8_t kPacketRequest = 0;
inline constexpr std::uint8_t kPacketResponse = 2;
inline constexpr std::uint8_t kPacketFault = 3;
inline constexpr std::uint8_t kPacketBind = 11;
inline constexpr std::uint8_t kPacketBindAck = 12;
inline constexpr std::uint8_t kPacketBindNak = 13;

inline constexpr std::uint8_t kFirstFragment = 0x01;
inline constexpr std::uint8_t kLastFragment = 0x02;

inline constexpr std::size_t kHeaderSize = 16;
// The largest fragment this side sends and accepts.
inline constexpr std::uint16_t kMaxFragment = 4280;

// The 16 bytes that open every packet.
struct PacketHeader {
    std::uint8_t type = 0;
    std::uint8_t flags = 0;
    std::uint16_t fragmentLength = 0; // the whole fragment, header included
    std::uint16_t authLength = 0;
    std::uint32_t callId = 0;
};

// The header at the start of `bytes` (at least kHeaderSize of them); nullopt when it is not a
// version 5.0 packet in little-endian representation or its length is below the header's.
std::optional<PacketHeader> parseHeader(std::string_view bytes);

// The bind to the winreg interface (338cd001-2244-31f1-aaaa-900038001003 version 1.0) with the
// NDR transfer syntax, as one packet.
std::string bindPacket(std::uint32_t callId);

// What a bind's answer says: accepted (with the largest fragment the server takes), or not.
struct BindResult {
    bool accepted = false;
    std::uint16_t maxReceiveFragment = 0;
};

// The answer to a bind: its header and the bytes after the header. nullopt when malformed.
std::optional<BindResult> parseBindAnswer(const PacketHeader& header, std::string_view body);

// A call `opnum` with `stub` as its parameters, cut into request fragments of at most
// `maxFragment` bytes (first and last flags set as they fall).
std::vector<std::string> requestPackets(std::uint32_t callId, std::uint16_t opnum,
                                        std::string_view stub, std::size_t maxFragment);

// One fragment of the answer to a call.
struct ResponseFragment {
    bool last = false;
    std::string_view stub;              // the result bytes this fragment carries
    std::optional<std::uint32_t> fault; // a fault packet: the status it gives
};

// A response or fault fragment: its header and the bytes after the header (the fragment's, without
// any authentication trailer). nullopt for any other packet or a malformed one.
std::optional<ResponseFragment> parseResponseFragment(const PacketHeader& header,
                                                      std::string_view body);

// --- winreg calls ------------------------------------------------------------------------------

inline constexpr std::uint16_t kOpOpenHklm = 2;
inline constexpr std::uint16_t kOpCloseKey = 5;
inline constexpr std::uint16_t kOpEnumValue = 10;
inline constexpr std::uint16_t kOpOpenKey = 15;
inline constexpr std::uint16_t kOpQueryInfoKey = 16;
inline constexpr std::uint16_t kOpQueryValue = 17;

// The server's handle of an opened key.
using KeyHandle = std::array<std::uint8_t, 20>;

// Every result ends in the call's Windows error code (0: success).
struct CallStatus {
    std::uint32_t status = 0;
};

struct HandleResult : CallStatus {
    KeyHandle handle{};
};

struct KeyInfoResult : CallStatus {
    std::uint32_t values = 0;
    std::uint32_t maxValueNameLength = 0; // characters, without the terminating NUL
    std::uint32_t maxValueDataSize = 0;   // bytes
};

struct EnumValueResult : CallStatus {
    std::string name; // UTF-16LE, without terminating NUL
};

struct QueryValueResult : CallStatus {
    std::uint32_t type = 0;
    std::uint32_t size = 0; // the data's size; with 234 (more data) what the server reports
    std::string data;       // as stored (strings in UTF-16LE)
};

// Requests (the stub of each call). Texts are UTF-8 and go out as UTF-16LE with their terminating
// NUL counted, as Windows' own clients send them.
std::string openHklmRequest(std::uint32_t access);
std::string openKeyRequest(const KeyHandle& parent, std::string_view path, std::uint32_t access);
std::string closeKeyRequest(const KeyHandle& key);
std::string queryInfoKeyRequest(const KeyHandle& key);
// The value's name only, into a buffer of `nameBufferChars` characters.
std::string enumValueRequest(const KeyHandle& key, std::uint32_t index,
                             std::uint16_t nameBufferChars);
// The type and the data into a buffer of `bufferSize` bytes.
std::string queryValueRequest(const KeyHandle& key, std::string_view valueName,
                              std::uint32_t bufferSize);

// Results. The status is the stub's last four bytes whatever the call; the other fields are read
// only on success. nullopt for a stub too short or malformed.
std::optional<HandleResult> parseHandleResult(std::string_view stub); // OpenHKLM, OpenKey, CloseKey
std::optional<KeyInfoResult> parseKeyInfoResult(std::string_view stub);
std::optional<EnumValueResult> parseEnumValueResult(std::string_view stub);
// On 234 (more data) the size is read as well.
std::optional<QueryValueResult> parseQueryValueResult(std::string_view stub);

} // namespace lantrivex::winreg
