// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace lantrivex::platform {

// Hands a document or a web address to the desktop, which opens it with the program registered
// for it (a web address: the user's browser). On Windows this is the shell's "Open" verb; on a
// POSIX desktop the freedesktop URL opener.
class ShellOpen {
public:
    virtual ~ShellOpen() = default;

    // Asks the desktop to open `target` (UTF-8, e.g. "http://host/"), without waiting for the
    // program that opens it. True when the request could be handed over; callers that have
    // nothing to do on failure may ignore the result. The text is passed as one argument, never
    // through a command interpreter.
    virtual bool open(std::string_view target) = 0;
};

} // namespace lantrivex::platform
