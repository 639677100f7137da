// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/DriveList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::discovery {

// The texts of the drives dialog.
std::string DrivesDialogTitle(LanguageFlag nLangue);       // "Lantrivex 1.0 - Display drives"
std::string_view DrivesDialogButton(LanguageFlag nLangue); // "&Cancel"

// The text of a drive kind; "" for the kinds that are not listed (0, 1, others). A network drive
// gets this text only when the main window's drive lines do not name it.
std::string_view DriveKindText(std::int32_t kind, LanguageFlag nLangue);

// The items of the drives dialog: per drive, its name, a tab and its kind text, or for a network
// drive that `lstDrives` (the main window's lines: local name, tab, server\share) names, that line
// unchanged. Drive letters are named "C:" (the root upper-cased, cut to two characters) and match
// a line by its first two characters; mount points are named by themselves and match a line by
// the text before its tab. Drives of unknown kind are left out.
std::vector<std::string> DriveItems(platform::DriveList& drives,
                                    const std::vector<std::string>& lstDrives,
                                    LanguageFlag nLangue);

} // namespace lantrivex::discovery
