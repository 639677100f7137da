// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifier.h"
#include "platform/Platform.h"
#include "shell/AppState.h"

namespace lantrivex::ui {

class FrmLantrivex;

// Opens the signature manager (mnuGestionSignatures, F3) and the About box (mnuAbout, F1) of the
// main window: each command builds its dialog anew, shows it modally over the window with the
// language and the signature table of that moment, and discards it when it closes.
void connectDialogCommands(FrmLantrivex& window, platform::Platform& platform,
                           platform::Notifier& notifier, shell::AppState& state);

} // namespace lantrivex::ui
