// SPDX-License-Identifier: GPL-3.0-or-later
// Registry exports: whatever the bytes, the reader either fails with a reason or gives keys and
// values that it finds again by name, with the program's text in UTF-8. One text read as UTF-8, as
// a version 5 file (UTF-16LE with a byte-order mark) and in the ANSI code page gives one result.

#include "FuzzSupport.h"
#include "common/Utf8.h"
#include "platform/TextCodec.h"
#include "regfile/RegFile.h"

using namespace lantrivex;
using lantrivex::regfile::RegFile;

namespace {

struct Reading {
    std::optional<RegFile> file;
    std::string error;
};

Reading read(std::string_view bytes) {
    Reading reading;
    reading.file = RegFile::parse(bytes, &reading.error);
    return reading;
}

bool isStringType(std::uint32_t type) {
    return type == 1 || type == 2 || type == 7;
}

void checkWhole(const Reading& reading) {
    LANTRIVEX_FUZZ_CHECK(reading.file.has_value() == reading.error.empty());
    if (!reading.file) {
        return;
    }
    for (const auto& key : reading.file->keys()) {
        LANTRIVEX_FUZZ_CHECK(isValidUtf8(key.path));
        LANTRIVEX_FUZZ_CHECK(reading.file->findKey(key.path) == &key);
        for (const auto& value : key.values) {
            LANTRIVEX_FUZZ_CHECK(isValidUtf8(value.name));
            LANTRIVEX_FUZZ_CHECK(key.findValue(value.name) == &value);
            LANTRIVEX_FUZZ_CHECK(!isStringType(value.type) || isValidUtf8(value.data));
        }
    }
}

bool sameReading(const Reading& a, const Reading& b) {
    if (a.error != b.error || a.file.has_value() != b.file.has_value()) {
        return false;
    }
    if (!a.file) {
        return true;
    }
    const auto& keysA = a.file->keys();
    const auto& keysB = b.file->keys();
    if (keysA.size() != keysB.size() || a.file->unicode() != b.file->unicode()) {
        return false;
    }
    for (std::size_t k = 0; k < keysA.size(); ++k) {
        if (keysA[k].path != keysB[k].path || keysA[k].values.size() != keysB[k].values.size()) {
            return false;
        }
        for (std::size_t v = 0; v < keysA[k].values.size(); ++v) {
            const auto& x = keysA[k].values[v];
            const auto& y = keysB[k].values[v];
            if (x.name != y.name || x.type != y.type || x.data != y.data) {
                return false;
            }
        }
    }
    return true;
}

// The version 5 file of a UTF-8 text.
std::string versionFiveBytes(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    const auto unit = [&out](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = *decodeUtf8(utf8, pos);
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);
    const Reading reading = read(bytes);
    checkWhole(reading);

    // The same text in the other forms. A byte-order mark at the start of the UTF-8 text leaves it.
    std::string_view text = bytes;
    if (startsWith(text, "\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (startsWith(bytes, "\xFF\xFE") || !isValidUtf8(text)) {
        return 0;
    }
    const Reading unicode = read(versionFiveBytes(text));
    checkWhole(unicode);
    LANTRIVEX_FUZZ_CHECK(sameReading(unicode, reading));

    // The code-page form, where it cannot be taken for UTF-8 or for a text with a byte-order mark.
    const std::optional<std::string> ansi = platform::utf8ToAnsi(text);
    if (ansi && !isValidUtf8(*ansi) && !startsWith(*ansi, "\xEF\xBB\xBF") &&
        !startsWith(*ansi, "\xFF\xFE")) {
        const Reading codePage = read(*ansi);
        checkWhole(codePage);
        LANTRIVEX_FUZZ_CHECK(sameReading(codePage, reading));
    }
    return 0;
}
