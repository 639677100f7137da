// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <span>
#include <string_view>

namespace lantrivex::shell {

// What MajLangue sets on a control.
enum class CaptionTarget {
    Caption,   // a menu's or menu item's caption
    CheckMark, // a menu item's check mark
    ToolTip,   // the tool tip of a toolbar button, found by its key
};

// One line of the main window's caption table.
struct CaptionEntry {
    std::string_view control;   // "mnuFichier", ..., "Toolbar1"
    std::string_view buttonKey; // for Toolbar1: the button's key, "Actualiser" or "Lecteurs"
    CaptionTarget target;
    std::string_view french; // texts, for Caption and ToolTip
    std::string_view english;
    bool checkedFrench = false; // for CheckMark
    bool checkedEnglish = false;

    std::string_view text(LanguageFlag nLangue) const { return tr(nLangue, french, english); }
    bool checked(LanguageFlag nLangue) const {
        return isFrench(nLangue) ? checkedFrench : checkedEnglish;
    }
};

// The table MajLangue applies to the main window, in the order of application.
std::span<const CaptionEntry> mainWindowCaptions();

// The main window's texts that follow the language at the moment they are shown.
namespace texts {

// Status bar, panel 1.
std::string_view analysingVolume(LanguageFlag nLangue);
std::string_view loadingSignatures(LanguageFlag nLangue);
std::string_view lookingMachines(LanguageFlag nLangue);
std::string_view lookingVolumes(LanguageFlag nLangue);

// The refusal of a second instance.
std::string_view alreadyRunning(LanguageFlag nLangue);

// The result grid's copy command.
std::string_view copyRows(LanguageFlag nLangue);

} // namespace texts

// The result grid's column headers, the same in both languages.
inline constexpr std::string_view kGridHeaders[4] = {"#", "%", "Signature", "Type"};

} // namespace lantrivex::shell
