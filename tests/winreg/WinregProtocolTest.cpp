// SPDX-License-Identifier: GPL-3.0-or-later
// The winreg messages against byte fixtures, and the client over a scripted pipe.

#include "winreg/WinregProtocol.h"

#include "winreg/WinregClient.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <numeric>

namespace lantrivex::winreg {
using namespace lantrivex::platform;
namespace {

// Bytes from hexadecimal pairs; blanks are ignored.
std::string hex(std::string_view text) {
    std::string digits, out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), ::isxdigit);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

KeyHandle testHandle() {
    KeyHandle h{};
    std::iota(h.begin(), h.end(), 1);
    return h;
}

const std::string kHandleBytes = hex("0102030405060708090a0b0c0d0e0f1011121314");

TEST(WinregProtocol, RequestsAsSent) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {bindPacket(7), hex("05000b03 10000000 4800 0000 07000000  b810 b810 00000000"
                            "01000000 0000 0100"
                            "01d08c33 4422 f131 aaaa 900038001003 01000000"
                            "045d888a eb1c c911 9fe8 08002b104860 02000000")},
        {openHklmRequest(0x20019), hex("00000000 19000200")},
        // The counted string keeps its NUL; an odd number of characters is padded to four bytes.
        {openKeyRequest(testHandle(), "A\\\xc3\xa9", 0x20019),
         kHandleBytes + hex("0800 0800 00000200 04000000 00000000 04000000 41005c00e9000000"
                            "00000000 19000200")},
        {openKeyRequest(testHandle(), "ab", 0x20019),
         kHandleBytes + hex("0600 0600 00000200 03000000 00000000 03000000 610062000000 0000"
                            "00000000 19000200")},
        {enumValueRequest(testHandle(), 3, 256),
         kHandleBytes + hex("03000000 0000 0002 00000200 00010000 00000000 00000000"
                            "00000000 00000000 00000000 00000000")},
        {queryValueRequest(testHandle(), "", 16),
         kHandleBytes + hex("0200 0200 00000200 01000000 00000000 01000000 0000 0000"
                            "04000200 00000000  08000200 10000000 00000000 00000000"
                            "0c000200 10000000  10000200 00000000")},
        {queryInfoKeyRequest(testHandle()), kHandleBytes + hex("0000 0000 00000000")},
        {closeKeyRequest(testHandle()), kHandleBytes},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    }
}

TEST(WinregProtocol, LongRequestsGoInFragments) {
    const std::string stub(100, 'x');
    const auto packets = requestPackets(9, kOpQueryValue, stub, 56);
    ASSERT_EQ(packets.size(), 4u); // 32 + 32 + 32 + 4 bytes of stub
    std::string joined;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto header = parseHeader(packets[i]);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->fragmentLength, packets[i].size());
        EXPECT_EQ(header->callId, 9u);
        EXPECT_EQ(header->flags, (i == 0 ? kFirstFragment : 0) | (i == 3 ? kLastFragment : 0));
        const char* hints[] = {"64000000", "44000000", "24000000", "04000000"};
        EXPECT_EQ(packets[i].substr(16, 8), hex(hints[i]) + hex("0000 1100"))
            << "allocation hint, context, operation";
        joined += packets[i].substr(24);
    }
    EXPECT_EQ(joined, stub);
    EXPECT_EQ(requestPackets(1, kOpCloseKey, "", 4280).size(), 1u);
}

TEST(WinregProtocol, AnswersReadOrRefused) {
    EXPECT_FALSE(parseHeader(hex("04000c03 10000000 1000 0000 01000000"))) << "version 4";
    EXPECT_FALSE(parseHeader(hex("05000c03 00000000 1000 0000 01000000"))) << "big endian";
    EXPECT_FALSE(parseHeader(hex("05000c03 10000000 0f00 0000 01000000"))) << "too short";

    // A bind accepted (secondary address "\PIPE\winreg" then padding), a bind refused.
    const std::string ack = hex("b810 b810 f0530000 0d00 5c504950455c77696e72656700 00"
                                "01000000 0000 0000 045d888a eb1c c911 9fe8 08002b104860"
                                "02000000");
    const auto accepted = parseBindAnswer(PacketHeader{kPacketBindAck, 3}, ack);
    ASSERT_TRUE(accepted);
    EXPECT_TRUE(accepted->accepted);
    EXPECT_EQ(accepted->maxReceiveFragment, 4280);
    EXPECT_FALSE(parseBindAnswer(PacketHeader{kPacketBindAck, 3}, ack.substr(0, 30)));
    const auto refused = parseBindAnswer(PacketHeader{kPacketBindNak, 3}, hex("0400 00"));
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->accepted);

    const std::string middleBody = hex("10000000 0000 00 00 abcd");
    const auto middle = parseResponseFragment(PacketHeader{kPacketResponse, 0}, middleBody);
    ASSERT_TRUE(middle);
    EXPECT_FALSE(middle->last);
    EXPECT_EQ(middle->stub, hex("abcd"));
    EXPECT_FALSE(
        parseResponseFragment(PacketHeader{kPacketBindAck, 3}, hex("00000000 0000 00 00")));
}

TEST(WinregProtocol, ResultsReadOnSuccessStatusAlways) {
    EXPECT_FALSE(parseHandleResult(hex("000000"))) << "cut short";

    // REG_SZ "Hi" with its NUL; the same value into a buffer too small; an absent value.
    const auto value = parseQueryValueResult(
        hex("00000200 01000000 04000200 10000000 00000000 06000000 480069000000 0000"
            "08000200 06000000 0c000200 06000000 00000000"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, 1u);
    EXPECT_EQ(value->data, hex("480069000000"));
    const auto more =
        parseQueryValueResult(hex("00000200 01000000 04000200 04000000 00000000 00000000"
                                  "08000200 04000000 0c000200 00000000 ea000000"));
    ASSERT_TRUE(more);
    EXPECT_EQ(more->status, 234u);
    EXPECT_EQ(more->size, 4u);
    EXPECT_EQ(parseQueryValueResult(hex("00000000 00000000 00000000 00000000 02000000"))->status,
              2u);
    EXPECT_FALSE(parseQueryValueResult(hex("00000200 01000000 04000200 10000000 00000000 "
                                           "06000000 4800 00000000")))
        << "data cut short";

    const auto name =
        parseEnumValueResult(hex("0800 0002 00000200 00010000 00000000 04000000 500075006200 0000"
                                 "00000000 00000000 00000000 00000000 00000000"));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->name, hex("500075006200"));
    EXPECT_EQ(parseEnumValueResult(hex("0000 0002 00000000 00000000 03010000"))->status, 259u);

    // Without and with a class name: the counts after it are found either way.
    for (const std::string& className :
         {hex("0000 0000 00000000"),
          hex("0200 0200 00000200 01000000 00000000 01000000 7800 0000")}) {
        const std::string counts = hex("01000000 02000000 03000000 04000000 05000000 06000000"
                                       "07000000");
        std::string stub = className + counts;
        stub.append((8 - stub.size() % 8) % 8, '\0');
        const auto info = parseKeyInfoResult(stub + std::string(8, '\0') + hex("00000000"));
        ASSERT_TRUE(info);
        EXPECT_EQ(info->values, 4u);
        EXPECT_EQ(info->maxValueNameLength, 5u);
        EXPECT_EQ(info->maxValueDataSize, 6u);
    }
}

// A pipe that answers with scripted bytes and fails any read beyond them.
struct ScriptedPipe : RpcPipe {
    ScriptedPipe(std::deque<std::string>* r, std::vector<std::string>* s) : replies(r), sent(s) {}
    bool write(std::string_view message) override {
        sent->emplace_back(message);
        return true;
    }
    bool read(std::size_t count, std::string& out) override {
        if (replies->empty() || replies->front().size() < count) {
            return false;
        }
        out = replies->front().substr(0, count);
        replies->front().erase(0, count);
        if (replies->front().empty()) {
            replies->pop_front();
        }
        return true;
    }
    std::deque<std::string>* replies;
    std::vector<std::string>* sent;
};

// A packet of the answers here: under 256 bytes, its call number under 256.
std::string packet(std::uint8_t type, std::uint8_t flags, std::uint8_t callId,
                   const std::string& body) {
    return hex("0500") + static_cast<char>(type) + static_cast<char>(flags) + hex("10000000") +
           static_cast<char>(16 + body.size()) + hex("00 0000") + static_cast<char>(callId) +
           hex("000000") + body;
}

// A response fragment: its allocation hint (what remains of the answer), context 0, the stub.
std::string response(std::uint8_t flags, std::uint8_t callId, const std::string& stub,
                     std::size_t remaining = 0) {
    return packet(kPacketResponse, flags, callId,
                  static_cast<char>(remaining ? remaining : stub.size()) +
                      hex("000000 0000 00 00") + stub);
}

TEST(WinregClient, CallsAnsweredInFragmentsFaultsAndBrokenPipes) {
    std::deque<std::string> replies;
    std::vector<std::string> sent;
    WinregClient client(std::make_unique<ScriptedPipe>(&replies, &sent));
    replies.push_back(
        packet(kPacketBindAck, 3, 1,
               hex("b810 0010 00000000 0000 0000 01000000 0000 0000") + std::string(20, '\0')));
    ASSERT_EQ(client.bind(), kRegOk);

    // The handle arrives in two fragments of one answer.
    const std::string stub = kHandleBytes + hex("00000000");
    replies.push_back(response(1, 2, stub.substr(0, 10), stub.size()));
    replies.push_back(response(2, 2, stub.substr(10)));
    KeyHandle root{}, key{};
    ASSERT_EQ(client.openLocalMachine(0x20019, root), kRegOk);
    EXPECT_EQ(root, testHandle());
    EXPECT_EQ(sent.size(), 2u);

    // A server error, a fault of access, any other fault; then an answer to another call, which
    // breaks the pipe for good.
    const std::pair<std::string, RegistryError> calls[] = {
        {response(3, 3, std::string(20, '\0') + hex("02000000")), kRegFileNotFound},
        {packet(kPacketFault, 3, 4, hex("20000000 0000 00 00 05000000")), kRegAccessDenied},
        {packet(kPacketFault, 3, 5, hex("20000000 0000 00 00 0200011c")), kRegBadNetPath},
        {response(3, 99, stub), kRegBadNetPath},
        {response(3, 7, stub), kRegBadNetPath}};
    for (const auto& [answer, expected] : calls) {
        replies.push_back(answer);
        EXPECT_EQ(client.openKey(root, "Key", 0x20019, key), expected);
    }
    EXPECT_EQ(sent.size(), 6u) << "nothing more written once broken";
}

// A server that answers the bind, then every call with fragments that are never the last: empty
// ones, or ones that carry a few bytes. The call ends after a bounded number of fragments, or at
// once past its deadline.
struct EndlessPipe : RpcPipe {
    bool write(std::string_view) override { return true; }
    bool read(std::size_t count, std::string& out) override {
        if (pending.empty()) {
            ++fragments;
            pending = fragments == 1 ? packet(kPacketBindAck, 3, 1,
                                              hex("b810 0010 00000000 0000 0000 01000000 0000 "
                                                  "0000") +
                                                  std::string(20, '\0'))
                                     : response(0, 2, stub, 1000);
        }
        out = pending.substr(0, count);
        pending.erase(0, count);
        return out.size() == count;
    }
    std::string stub, pending;
    std::size_t fragments = 0;
};

TEST(WinregClient, EndlessAnswersEndAfterBoundedFragmentsOrTheDeadline) {
    const struct {
        std::string stub;
        std::chrono::milliseconds deadline;
        std::size_t fragments; // served after the bind
    } rows[] = {
        {"", WinregClient::kNoDeadline, WinregClient::kMaxFragments},
        {"abcd", WinregClient::kNoDeadline, WinregClient::kMaxFragments},
        {"", std::chrono::milliseconds(0), 1},
    };
    for (const auto& row : rows) {
        auto pipe = std::make_unique<EndlessPipe>();
        EndlessPipe& server = *pipe;
        server.stub = row.stub;
        WinregClient client(std::move(pipe), row.deadline);
        ASSERT_EQ(client.bind(), kRegOk);
        KeyHandle root{};
        EXPECT_EQ(client.openLocalMachine(0x20019, root), kRegBadNetPath);
        EXPECT_EQ(server.fragments - 1, row.fragments) << row.stub.size();
    }
}

} // namespace
} // namespace lantrivex::winreg
