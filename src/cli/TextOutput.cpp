// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TextOutput.h"

#include "common/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace lantrivex::cli {

std::string csvField(std::string_view text) {
    std::string out;
    appendCsvField(out, text);
    return out;
}

namespace {

bool csvFieldNeedsQuotes(std::string_view text) {
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) {
        return true;
    }
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

} // namespace

char* putCsvField(char* at, std::string_view text) {
    if (!csvFieldNeedsQuotes(text)) {
        return std::copy(text.begin(), text.end(), at);
    }
    *at++ = '"';
    for (const char c : text) {
        if (c == '"') {
            *at++ = '"';
        }
        *at++ = c;
    }
    *at++ = '"';
    return at;
}

void appendCsvField(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + 2 * text.size() + 2);
    out.resize(static_cast<std::size_t>(putCsvField(out.data() + start, text) - out.data()));
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            const std::size_t start = pos;
            if (decodeUtf8(text, pos)) {
                out.append(text.substr(start, pos - start));
            } else {
                out += "\\ufffd";
                ++pos;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20 || b == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
                out += escaped;
            } else {
                out.push_back(c);
            }
        }
        ++pos;
    }
    out.push_back('"');
    return out;
}

std::string visibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char escaped[8];
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x20 || b == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
            out += escaped;
            ++pos;
        } else if (b < 0x80) {
            out.push_back(text[pos++]);
        } else {
            const std::size_t start = pos;
            const std::optional<char32_t> c = decodeUtf8(text, pos);
            if (!c) {
                std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
                out += escaped;
                ++pos;
            } else if (*c < 0xA0) {
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(*c));
                out += escaped;
            } else {
                out.append(text.substr(start, pos - start));
            }
        }
    }
    return out;
}

std::size_t displayWidth(std::string_view text) {
    return utf8CharacterCount(text);
}

} // namespace lantrivex::cli
