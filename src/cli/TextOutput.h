// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lantrivex::cli {

// One field of a CSV line (RFC 4180): quoted when it holds a comma, a double quote, CR or LF, or
// begins or ends with a blank; inner double quotes doubled.
std::string csvField(std::string_view text);
// The same, appended to `out`.
void appendCsvField(std::string& out, std::string_view text);
// The same, written at `at`, where there is room for twice its length plus two; returns where it
// ends.
char* putCsvField(char* at, std::string_view text);

// A JSON string literal of UTF-8 text, quotes included; control characters escaped, and bytes that
// are not valid UTF-8 replaced by U+FFFD so the output stays valid JSON.
std::string jsonString(std::string_view text);

// Text as it may reach a terminal: control characters (C0, DEL and the C1 range) and bytes that are
// not UTF-8 shown as escapes ("\x1b", "\u009b"), so that no name read from a server or a file
// can drive the terminal. Everything else is kept as it is.
std::string visibleText(std::string_view text);

// The display width of UTF-8 text in a terminal, counting one column per character.
std::size_t displayWidth(std::string_view text);

} // namespace lantrivex::cli
