// SPDX-License-Identifier: GPL-3.0-or-later
#include "winreg/WinregProtocol.h"

#include "common/Utf8.h"

#include <algorithm>

namespace lantrivex::winreg {

namespace {

constexpr std::uint8_t kVersion = 5;
constexpr std::uint8_t kVersionMinor = 0;
constexpr std::uint8_t kLittleEndianAscii = 0x10; // first byte of the data representation

// 338cd001-2244-31f1-aaaa-900038001003 v1.0 and 8a885d04-1ceb-11c9-9fe8-08002b104860 v2, as sent.
constexpr std::array<std::uint8_t, 20> kWinregSyntax{0x01, 0xd0, 0x8c, 0x33, 0x44, 0x22, 0xf1,
                                                     0x31, 0xaa, 0xaa, 0x90, 0x00, 0x38, 0x00,
                                                     0x10, 0x03, 0x01, 0x00, 0x00, 0x00};
constexpr std::array<std::uint8_t, 20> kNdrSyntax{0x04, 0x5d, 0x88, 0x8a, 0xeb, 0x1c, 0xc9,
                                                  0x11, 0x9f, 0xe8, 0x08, 0x00, 0x2b, 0x10,
                                                  0x48, 0x60, 0x02, 0x00, 0x00, 0x00};

// Little-endian NDR output; alignment counts from the start of the stub.
class Writer {
public:
    void align(std::size_t n) {
        while (out_.size() % n != 0) {
            out_.push_back('\0');
        }
    }
    void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v) {
        align(2);
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        align(4);
        for (int shift = 0; shift < 32; shift += 8) {
            u8(static_cast<std::uint8_t>(v >> shift));
        }
    }
    void bytes(std::string_view b) { out_.append(b); }
    template <std::size_t N> void bytes(const std::array<std::uint8_t, N>& b) {
        out_.append(reinterpret_cast<const char*>(b.data()), N);
    }
    // A unique pointer: its referent id, 0 for none.
    void pointer(bool present) { u32(present ? nextReferent_++ * 4 + 0x20000 : 0); }

    // A counted UTF-16 string structure (length and size in bytes, then a unique pointer to a
    // conformant varying array) holding `text` and its terminating NUL.
    void countedString(std::string_view text) {
        std::string units = utf8ToUtf16le(text);
        units.append(2, '\0');
        const auto byteCount =
            static_cast<std::uint16_t>(std::min<std::size_t>(units.size(), 0xFFFE));
        units.resize(byteCount);
        u16(byteCount);
        u16(byteCount);
        pointer(true);
        u32(byteCount / 2u); // maximum count
        u32(0);              // offset
        u32(byteCount / 2u); // actual count
        bytes(units);
    }

    std::string take() { return std::move(out_); }

private:
    std::string out_;
    std::uint32_t nextReferent_ = 0;
};

// Little-endian NDR input; any read past the end fails the whole reading.
class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    bool ok() const noexcept { return ok_; }
    void align(std::size_t n) { pos_ = std::min(in_.size() + 1, (pos_ + n - 1) / n * n); }
    std::uint8_t u8() { return take(1).empty() ? 0 : static_cast<std::uint8_t>(in_[pos_ - 1]); }
    std::uint16_t u16() {
        align(2);
        const std::string_view b = take(2);
        return b.size() < 2 ? 0
                            : static_cast<std::uint16_t>(static_cast<unsigned char>(b[0]) |
                                                         (static_cast<unsigned char>(b[1]) << 8));
    }
    std::uint32_t u32() {
        align(4);
        const std::string_view b = take(4);
        std::uint32_t v = 0;
        for (std::size_t i = b.size(); i-- > 0;) {
            v = (v << 8) | static_cast<unsigned char>(b[i]);
        }
        return v;
    }
    std::string_view take(std::size_t n) {
        if (!ok_ || pos_ > in_.size() || in_.size() - pos_ < n) {
            ok_ = false;
            pos_ = in_.size() + 1;
            return {};
        }
        pos_ += n;
        return in_.substr(pos_ - n, n);
    }
    // A conformant varying array of `unitSize`-byte elements: its actual elements' bytes.
    std::string_view varyingArray(std::size_t unitSize) {
        const std::uint32_t maxCount = u32();
        const std::uint32_t offset = u32();
        const std::uint32_t actual = u32();
        // The count is checked against what is left before it is multiplied: actual * unitSize
        // may not fit a 32-bit size_t.
        if (offset != 0 || actual > maxCount || unitSize == 0 || pos_ > in_.size() ||
            actual > (in_.size() - pos_) / unitSize) {
            ok_ = false;
            pos_ = in_.size() + 1;
            return {};
        }
        return take(static_cast<std::size_t>(actual) * unitSize);
    }

private:
    std::string_view in_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// A result with its status, the stub's last four bytes; nullopt for a stub shorter than that.
template <typename Result> std::optional<Result> withStatus(std::string_view stub) {
    if (stub.size() < 4) {
        return std::nullopt;
    }
    Result result;
    Reader tail(stub.substr(stub.size() - 4));
    result.status = tail.u32();
    return result;
}

void writeHeader(Writer& w, std::uint8_t type, std::uint8_t flags, std::size_t length,
                 std::uint32_t callId) {
    w.u8(kVersion);
    w.u8(kVersionMinor);
    w.u8(type);
    w.u8(flags);
    w.u8(kLittleEndianAscii);
    w.u8(0);
    w.u8(0);
    w.u8(0);
    w.u16(static_cast<std::uint16_t>(length));
    w.u16(0); // no authentication
    w.u32(callId);
}

// A UTF-16LE name: cut at `length` bytes, then one terminating NUL dropped.
std::string nameWithoutTerminator(std::string_view units, std::uint16_t length) {
    std::string name(
        units.substr(0, std::min<std::size_t>(length, units.size()) & ~std::size_t{1}));
    if (name.size() >= 2 && name[name.size() - 1] == '\0' && name[name.size() - 2] == '\0') {
        name.resize(name.size() - 2);
    }
    return name;
}

} // namespace

std::optional<PacketHeader> parseHeader(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    Reader r(bytes.substr(0, kHeaderSize));
    const std::uint8_t version = r.u8();
    const std::uint8_t minor = r.u8();
    PacketHeader h;
    h.type = r.u8();
    h.flags = r.u8();
    const std::uint8_t representation = r.u8();
    r.take(3);
    h.fragmentLength = r.u16();
    h.authLength = r.u16();
    h.callId = r.u32();
    if (version != kVersion || minor != kVersionMinor || (representation & 0xF0) != 0x10 ||
        h.fragmentLength < kHeaderSize) {
        return std::nullopt;
    }
    return h;
}

std::string bindPacket(std::uint32_t callId) {
    constexpr std::size_t kLength = kHeaderSize + 12 + 4 + 20 + 20;
    Writer w;
    writeHeader(w, kPacketBind, kFirstFragment | kLastFragment, kLength, callId);
    w.u16(kMaxFragment); // largest fragment sent
    w.u16(kMaxFragment); // largest fragment received
    w.u32(0);            // a new association group
    w.u8(1);             // one presentation context
    w.u8(0);
    w.u16(0);
    w.u16(0); // context id
    w.u8(1);  // one transfer syntax
    w.u8(0);
    w.bytes(kWinregSyntax);
    w.bytes(kNdrSyntax);
    return w.take();
}

std::optional<BindResult> parseBindAnswer(const PacketHeader& header, std::string_view body) {
    Reader r(body);
    if (header.type == kPacketBindNak) {
        r.u16(); // the reason
        return r.ok() ? std::optional<BindResult>(BindResult{}) : std::nullopt;
    }
    if (header.type != kPacketBindAck) {
        return std::nullopt;
    }
    r.u16(); // largest fragment the server sends
    BindResult result;
    result.maxReceiveFragment = r.u16();
    r.u32();         // association group
    r.take(r.u16()); // the server's secondary address, its NUL included
    r.align(4);      // relative to the packet: the header is 16 bytes
    const std::uint8_t results = r.u8();
    r.take(3);
    const std::uint16_t firstResult = r.u16();
    r.u16(); // reason
    r.take(20);
    if (!r.ok() || results < 1) {
        return std::nullopt;
    }
    result.accepted = firstResult == 0;
    return result;
}

std::vector<std::string> requestPackets(std::uint32_t callId, std::uint16_t opnum,
                                        std::string_view stub, std::size_t maxFragment) {
    constexpr std::size_t kRequestHeader = kHeaderSize + 8;
    // Stub bytes per fragment: what the largest fragment leaves after the request's header, kept a
    // multiple of 8 so that every fragment but the last ends on an alignment boundary.
    const std::size_t room = std::max<std::size_t>(
        8, (std::max(maxFragment, kRequestHeader + 8) - kRequestHeader) & ~std::size_t{7});
    std::vector<std::string> packets;
    std::size_t offset = 0;
    do {
        const std::string_view piece = stub.substr(offset, room);
        std::uint8_t flags = offset == 0 ? kFirstFragment : 0;
        if (offset + piece.size() >= stub.size()) {
            flags |= kLastFragment;
        }
        Writer w;
        writeHeader(w, kPacketRequest, flags, kRequestHeader + piece.size(), callId);
        w.u32(static_cast<std::uint32_t>(stub.size() - offset)); // allocation hint
        w.u16(0);                                                // context id
        w.u16(opnum);
        w.bytes(piece);
        packets.push_back(w.take());
        offset += piece.size();
    } while (offset < stub.size());
    return packets;
}

std::optional<ResponseFragment> parseResponseFragment(const PacketHeader& header,
                                                      std::string_view body) {
    if (header.type != kPacketResponse && header.type != kPacketFault) {
        return std::nullopt;
    }
    Reader r(body);
    r.u32(); // allocation hint
    r.u16(); // context id
    r.u8();  // cancel count
    r.u8();
    ResponseFragment fragment;
    fragment.last = (header.flags & kLastFragment) != 0;
    if (header.type == kPacketFault) {
        fragment.fault = r.u32();
        fragment.last = true;
    } else {
        fragment.stub = body.size() >= 8 ? body.substr(8) : std::string_view{};
    }
    if (!r.ok()) {
        return std::nullopt;
    }
    return fragment;
}

std::string openHklmRequest(std::uint32_t access) {
    Writer w;
    w.pointer(false); // no server name
    w.u32(access);
    return w.take();
}

std::string openKeyRequest(const KeyHandle& parent, std::string_view path, std::uint32_t access) {
    Writer w;
    w.bytes(parent);
    w.countedString(path);
    w.u32(0); // options
    w.u32(access);
    return w.take();
}

std::string closeKeyRequest(const KeyHandle& key) {
    Writer w;
    w.bytes(key);
    return w.take();
}

std::string queryInfoKeyRequest(const KeyHandle& key) {
    Writer w;
    w.bytes(key);
    w.u16(0); // no class name asked for
    w.u16(0);
    w.pointer(false);
    return w.take();
}

std::string enumValueRequest(const KeyHandle& key, std::uint32_t index,
                             std::uint16_t nameBufferChars) {
    Writer w;
    w.bytes(key);
    w.u32(index);
    w.u16(0);
    w.u16(static_cast<std::uint16_t>(nameBufferChars * 2u));
    w.pointer(true);
    w.u32(nameBufferChars); // maximum count
    w.u32(0);               // offset
    w.u32(0);               // nothing sent
    w.pointer(false);       // type, data, data size and length not asked for
    w.pointer(false);
    w.pointer(false);
    w.pointer(false);
    return w.take();
}

std::string queryValueRequest(const KeyHandle& key, std::string_view valueName,
                              std::uint32_t bufferSize) {
    Writer w;
    w.bytes(key);
    w.countedString(valueName);
    w.pointer(true); // type
    w.u32(0);
    w.pointer(true); // data: a buffer of bufferSize bytes, nothing sent
    w.u32(bufferSize);
    w.u32(0);
    w.u32(0);
    w.pointer(true); // buffer size
    w.u32(bufferSize);
    w.pointer(true); // data length
    w.u32(0);
    return w.take();
}

std::optional<HandleResult> parseHandleResult(std::string_view stub) {
    auto result = withStatus<HandleResult>(stub);
    if (!result || result->status != 0) {
        return result;
    }
    Reader r(stub);
    const std::string_view handle = r.take(result->handle.size());
    if (!r.ok()) {
        return std::nullopt;
    }
    std::copy(handle.begin(), handle.end(), result->handle.begin());
    return result;
}

std::optional<KeyInfoResult> parseKeyInfoResult(std::string_view stub) {
    auto result = withStatus<KeyInfoResult>(stub);
    if (!result || result->status != 0) {
        return result;
    }
    Reader r(stub);
    r.u16(); // class name
    r.u16();
    if (r.u32() != 0) {
        r.varyingArray(2);
    }
    r.u32(); // subkeys
    r.u32(); // longest subkey name
    r.u32(); // longest class name
    result->values = r.u32();
    result->maxValueNameLength = r.u32();
    result->maxValueDataSize = r.u32();
    return r.ok() ? result : std::nullopt;
}

std::optional<EnumValueResult> parseEnumValueResult(std::string_view stub) {
    auto result = withStatus<EnumValueResult>(stub);
    if (!result || result->status != 0) {
        return result;
    }
    Reader r(stub);
    const std::uint16_t length = r.u16();
    r.u16(); // size
    std::string_view units;
    if (r.u32() != 0) {
        units = r.varyingArray(2);
    }
    if (!r.ok()) {
        return std::nullopt;
    }
    result->name = nameWithoutTerminator(units, length);
    return result;
}

std::optional<QueryValueResult> parseQueryValueResult(std::string_view stub) {
    auto result = withStatus<QueryValueResult>(stub);
    constexpr std::uint32_t kMoreData = 234;
    if (!result || (result->status != 0 && result->status != kMoreData)) {
        return result;
    }
    Reader r(stub);
    if (r.u32() != 0) {
        result->type = r.u32();
    }
    std::string_view data;
    if (r.u32() != 0) {
        data = r.varyingArray(1);
    }
    if (r.u32() != 0) {
        result->size = r.u32();
    }
    std::uint32_t length = 0;
    if (r.u32() != 0) {
        length = r.u32();
    }
    if (!r.ok()) {
        return std::nullopt;
    }
    if (result->status == 0) {
        result->data = std::string(data.substr(0, length));
        result->size = static_cast<std::uint32_t>(result->data.size());
    }
    return result;
}

} // namespace lantrivex::winreg
