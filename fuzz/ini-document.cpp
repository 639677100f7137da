// SPDX-License-Identifier: GPL-3.0-or-later
// Settings documents. The input is a document's text, then NUL-separated triples of section, key
// and value to set in turn. Any text reads and writes back byte for byte; a set that is taken reads
// back at once and after the text is read again, and leaves every other setting as it was; a set
// that is refused changes nothing.

#include "FuzzSupport.h"
#include "common/LetterCase.h"
#include "platform/IniDocument.h"

#include <vector>

using lantrivex::platform::IniDocument;

namespace {

struct Setting {
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

std::vector<std::string_view> splitAtNul(std::string_view input) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t nul = input.find('\0');
        parts.push_back(input.substr(0, nul));
        if (nul == std::string_view::npos) {
            return parts;
        }
        input.remove_prefix(nul + 1);
    }
}

constexpr std::string_view kBlanks = " \t\v\f\r";

// Names are found with the blanks around them removed and without regard to letter case.
bool sameName(std::string_view a, std::string_view b) {
    const auto trim = [](std::string_view s) {
        const std::size_t first = s.find_first_not_of(kBlanks);
        return first == std::string_view::npos
                   ? std::string_view()
                   : s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
    };
    return lantrivex::equalsIgnoreLetterCase(trim(a), trim(b));
}

// A value that reads back exactly as set: no blanks around it, no enclosing quotes.
bool plainValue(std::string_view value) {
    if (value.empty()) {
        return true;
    }
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return !quoted && kBlanks.find(value.front()) == std::string_view::npos &&
           kBlanks.find(value.back()) == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = lantrivex::fuzz::asText(data, size);
    LANTRIVEX_FUZZ_CHECK(IniDocument(input).text() == input);

    const std::vector<std::string_view> parts = splitAtNul(input);
    IniDocument document(parts[0]);
    std::vector<Setting> taken;
    for (std::size_t i = 1; i + 2 < parts.size() && taken.size() < 16; i += 3) {
        const Setting setting{parts[i], parts[i + 1], parts[i + 2]};
        const std::string before = document.text();
        std::vector<std::string> others;
        for (const Setting& earlier : taken) {
            others.push_back(document.get(earlier.section, earlier.key));
        }
        if (!document.set(setting.section, setting.key, setting.value)) {
            LANTRIVEX_FUZZ_CHECK(document.text() == before);
            continue;
        }
        const std::string got = document.get(setting.section, setting.key);
        LANTRIVEX_FUZZ_CHECK(document.contains(setting.section, setting.key));
        LANTRIVEX_FUZZ_CHECK(!plainValue(setting.value) || got == setting.value);
        const IniDocument reread(document.text());
        LANTRIVEX_FUZZ_CHECK(reread.text() == document.text());
        LANTRIVEX_FUZZ_CHECK(reread.get(setting.section, setting.key) == got);
        for (std::size_t k = 0; k < taken.size(); ++k) {
            if (!sameName(taken[k].section, setting.section) ||
                !sameName(taken[k].key, setting.key)) {
                LANTRIVEX_FUZZ_CHECK(document.get(taken[k].section, taken[k].key) == others[k]);
            }
        }
        taken.push_back(setting);
    }
    return 0;
}
