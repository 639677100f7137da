// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifier.h"

#include <ostream>

namespace lantrivex::cli {

// The command line's message boxes: each message is one paragraph on the error stream, prefixed by
// the program's name; a question is answered No (nothing is ever changed without a window).
class StreamNotifier : public platform::Notifier {
public:
    explicit StreamNotifier(std::ostream& err) : err_(err) {}

    void message(std::string_view text, platform::MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    void beep() override {}

    int messageCount() const noexcept { return count_; }

private:
    std::ostream& err_;
    int count_ = 0;
};

} // namespace lantrivex::cli
