// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StreamNotifier.h"

#include "common/Language.h"

namespace lantrivex::cli {
namespace {

// Message texts separate their lines with CR LF; the terminal wants LF. The lines after the
// first are indented under it.
void writeLines(std::ostream& out, std::string_view text) {
    for (char c : text) {
        if (c == '\n') {
            out << "\n  ";
        } else if (c != '\r') {
            out.put(c);
        }
    }
}

} // namespace

void StreamNotifier::message(std::string_view text, platform::MessageIcon icon) {
    ++count_;
    err_ << kProductName;
    switch (icon) {
    case platform::MessageIcon::Critical:
        err_ << " (error)";
        break;
    case platform::MessageIcon::Exclamation:
        err_ << " (warning)";
        break;
    default:
        break;
    }
    err_ << ": ";
    writeLines(err_, text);
    err_ << '\n';
}

bool StreamNotifier::askYesNo(std::string_view text) {
    message(text, platform::MessageIcon::Question);
    return false;
}

} // namespace lantrivex::cli
