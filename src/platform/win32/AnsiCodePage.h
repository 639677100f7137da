// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::platform::win32 {

// Conversion between the program's UTF-8 and the system's ANSI code page (GetACP(), which may be
// UTF-8 itself), for every text that crosses the Windows API in its ANSI forms. NUL characters
// inside a text are kept.

// The flags and the used-default report of WideCharToMultiByte that the code page `codePage`
// accepts: a code page that stores every character (UTF-8, GB18030) refuses the others.
struct WideToAnsiFlags {
    unsigned long flags;
    bool reportsDefault; // a "default character used" flag may be asked for
};
WideToAnsiFlags wideToAnsiFlags(unsigned codePage);

// The UTF-8 form of ANSI text; every byte has a character.
std::string fromAnsi(std::string_view ansi);

// The ANSI form of UTF-8 text; nullopt when `utf8` is not valid UTF-8 or holds a character the code
// page cannot store (no best-fit replacement: a path must reach the system as it was given).
std::optional<std::string> toAnsi(std::string_view utf8);

// The ANSI form of a Windows error code's text, in UTF-8, without the final line break.
std::string systemErrorText(unsigned long code);

} // namespace lantrivex::platform::win32
