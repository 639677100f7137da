// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::platform {

// Conversion between the program's UTF-8 and the 8-bit ANSI code page used at the system's
// boundaries (files, the registry). Where the system has no ANSI code page (POSIX), it is
// Windows-1252.

// Every byte has a character: the five bytes that Windows-1252 leaves undefined become the C1
// controls of the same value, as Windows itself reads them.
std::string ansiToUtf8(std::string_view ansi);

// nullopt when `utf8` is not valid UTF-8 or holds a character that the code page cannot store.
std::optional<std::string> utf8ToAnsi(std::string_view utf8);

// As utf8ToAnsi, but every character that cannot be stored becomes '?'.
std::string utf8ToAnsiLossy(std::string_view utf8);

} // namespace lantrivex::platform
