// SPDX-License-Identifier: GPL-3.0-or-later
// The code page and UTF-8: every byte string is code-page text that comes back unchanged through
// UTF-8; UTF-8 that the code page can hold comes back unchanged through it, and any other text
// fails whole (or, in the lossy form, loses exactly its unstorable characters to '?').

#include "FuzzSupport.h"
#include "common/Utf8.h"
#include "platform/TextCodec.h"

#include <algorithm>

using namespace lantrivex;
using namespace lantrivex::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);

    const std::string utf8 = ansiToUtf8(bytes);
    LANTRIVEX_FUZZ_CHECK(isValidUtf8(utf8));
    const std::optional<std::string> ansi = utf8ToAnsi(utf8);
    LANTRIVEX_FUZZ_CHECK(ansi && *ansi == bytes);
    LANTRIVEX_FUZZ_CHECK(utf8ToAnsiLossy(utf8) == bytes);

    const std::optional<std::string> stored = utf8ToAnsi(bytes);
    const std::string lossy = utf8ToAnsiLossy(bytes);
    if (stored) {
        LANTRIVEX_FUZZ_CHECK(isValidUtf8(bytes));
        LANTRIVEX_FUZZ_CHECK(ansiToUtf8(*stored) == bytes);
        LANTRIVEX_FUZZ_CHECK(lossy == *stored);
    } else {
        LANTRIVEX_FUZZ_CHECK(lossy.find('?') != std::string::npos);
    }
    // One byte of code page per character or per byte of a broken sequence.
    LANTRIVEX_FUZZ_CHECK(lossy.size() <= bytes.size());
    LANTRIVEX_FUZZ_CHECK(utf8ToAnsi(ansiToUtf8(lossy)) == lossy);

    // The decoder and the encoder rebuild every well-formed text, and stop at the first fault.
    std::string rebuilt;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t before = pos;
        const std::optional<char32_t> cp = decodeUtf8(bytes, pos);
        if (!cp) {
            LANTRIVEX_FUZZ_CHECK(pos == before);
            break;
        }
        LANTRIVEX_FUZZ_CHECK(pos > before && pos - before <= 4);
        appendUtf8(rebuilt, *cp);
    }
    LANTRIVEX_FUZZ_CHECK(isValidUtf8(bytes) == (rebuilt.size() == bytes.size()));
    LANTRIVEX_FUZZ_CHECK(bytes.substr(0, rebuilt.size()) == rebuilt);
    return 0;
}
