// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace lantrivex::platform {

// The icon of a message box, which tells its kind.
enum class MessageIcon {
    None,        // the index reader's messages
    Exclamation, // a warning, after which the work goes on
    Critical,    // a failure, after which the program falls back to defaults
    Question,    // a confirmation with Yes and No
};

// Message boxes, the system beep and the wait pointer, as the core needs them. Every box is modal,
// titled "Lantrivex", and returns when the user has dismissed it. The window program shows real
// boxes; the command-line reader writes to standard error; tests record what was said.
class Notifier {
public:
    virtual ~Notifier() = default;

    // A box with `text` (UTF-8, lines separated by CR LF), the icon and an OK button.
    virtual void message(std::string_view text, MessageIcon icon) = 0;

    // A box with the question icon and Yes and No buttons, No the default (Enter): true when the
    // answer was Yes.
    virtual bool askYesNo(std::string_view text) = 0;

    // The system beep.
    virtual void beep() = 0;
};

} // namespace lantrivex::platform
