// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogCommands.h"

#include "ui/FrmAbout.h"
#include "ui/FrmGestionSignatures.h"
#include "ui/FrmLantrivex.h"

namespace lantrivex::ui {

void connectDialogCommands(FrmLantrivex& window, platform::Platform& platform,
                           platform::Notifier& notifier, shell::AppState& state) {
    QObject::connect(&window, &FrmLantrivex::signatureManagerRequested, &window,
                     [&window, &platform, &notifier, &state] {
                         // Results already shown keep their descriptions; the next analysis
                         // reads the table as the dialog's save left it.
                         FrmGestionSignatures dialog(state.signatures, platform.files, notifier,
                                                     state.nLangue, &window);
                         dialog.exec();
                     });
    QObject::connect(&window, &FrmLantrivex::aboutRequested, &window, [&window, &platform, &state] {
        FrmAbout box(state.nLangue, state.signatures.size(), platform.shell, &window);
        box.exec();
    });
}

} // namespace lantrivex::ui
