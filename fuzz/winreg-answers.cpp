// SPDX-License-Identifier: GPL-3.0-or-later
// Answers of a machine's winreg service: whatever the bytes, every decoder of a reply either
// refuses them or gives results that hold within them, and a whole client session over a pipe
// that answers with the input ends (bounded by the input, the fragment cap and the answer cap)
// with every message it wrote a well-formed packet.

#include "FuzzSupport.h"
#include "winreg/WinregClient.h"
#include "winreg/WinregProtocol.h"

using namespace lantrivex::platform;
using namespace lantrivex;
using namespace lantrivex::winreg;

namespace {

// A pipe whose server answers with the input, read in order; a read past its end fails.
class InputPipe final : public RpcPipe {
public:
    explicit InputPipe(std::string_view input) : input_(input) {}

    bool write(std::string_view message) override {
        const auto header = winreg::parseHeader(message);
        LANTRIVEX_FUZZ_CHECK(header && header->fragmentLength == message.size());
        return true;
    }
    bool read(std::size_t count, std::string& out) override {
        if (count > input_.size()) {
            input_ = {};
            return false;
        }
        out.assign(input_.substr(0, count));
        input_.remove_prefix(count);
        return true;
    }

private:
    std::string_view input_;
};

std::uint32_t lastFour(std::string_view bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= std::uint32_t{static_cast<unsigned char>(bytes[bytes.size() - 4 + i])} << (8 * i);
    }
    return v;
}

void decoders(std::string_view bytes) {
    if (const auto header = winreg::parseHeader(bytes)) {
        LANTRIVEX_FUZZ_CHECK(header->fragmentLength >= winreg::kHeaderSize);
        const std::string_view body = bytes.substr(winreg::kHeaderSize);
        winreg::parseBindAnswer(*header, body);
        if (const auto fragment = winreg::parseResponseFragment(*header, body)) {
            LANTRIVEX_FUZZ_CHECK(fragment->stub.size() <= body.size());
            LANTRIVEX_FUZZ_CHECK(!fragment->fault || fragment->last);
        }
    }
    const bool statusThere = bytes.size() >= 4;
    const auto handle = winreg::parseHandleResult(bytes);
    LANTRIVEX_FUZZ_CHECK(!handle || (statusThere && handle->status == lastFour(bytes)));
    const auto info = winreg::parseKeyInfoResult(bytes);
    LANTRIVEX_FUZZ_CHECK(!info || (statusThere && info->status == lastFour(bytes)));
    if (const auto name = winreg::parseEnumValueResult(bytes)) {
        LANTRIVEX_FUZZ_CHECK(name->status == lastFour(bytes));
        LANTRIVEX_FUZZ_CHECK(name->name.size() % 2 == 0 && name->name.size() <= bytes.size());
    }
    if (const auto value = winreg::parseQueryValueResult(bytes)) {
        LANTRIVEX_FUZZ_CHECK(value->status == lastFour(bytes));
        LANTRIVEX_FUZZ_CHECK(value->data.size() <= bytes.size());
        LANTRIVEX_FUZZ_CHECK(value->status != 0 || value->size == value->data.size());
    }
}

void session(std::string_view bytes) {
    WinregClient client(std::make_unique<InputPipe>(bytes));
    if (client.bind() != kRegOk) {
        return;
    }
    winreg::KeyHandle root{};
    winreg::KeyHandle key{};
    client.openLocalMachine(kKeyRead, root);
    client.openKey(root, "SYSTEM\\CurrentControlSet\\Services\\MacFile\\Parameters\\Volumes",
                   kKeyRead, key);
    winreg::KeyInfoResult info;
    client.queryInfoKey(key, info);
    for (std::uint32_t index = 0; index < 4; ++index) {
        std::string name;
        if (client.enumValue(key, index, 16384, name) == kRegOk) {
            LANTRIVEX_FUZZ_CHECK(name.size() % 2 == 0 && name.size() <= bytes.size());
        }
        winreg::QueryValueResult value;
        if (client.queryValue(key, "Pub", 4096, value) == kRegOk) {
            LANTRIVEX_FUZZ_CHECK(value.data.size() <= bytes.size());
        }
    }
    client.closeKey(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lantrivex::fuzz::asText(data, size);
    decoders(bytes);
    session(bytes);
    return 0;
}
