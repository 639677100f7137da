// SPDX-License-Identifier: GPL-3.0-or-later
// The window program: takes no arguments, shows the main window until it is closed.

#include "platform/HostPlatform.h"
#include "shell/AppState.h"
#include "ui/DialogCommands.h"
#include "ui/FrmLantrivex.h"
#include "ui/QtNotifier.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The classic look: bevelled controls and a small sans-serif type, as the window's design
    // sizes (in twips) expect.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(classic);
    }
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    // The standard buttons of message boxes read as the desktop's do.
    lantrivex::ui::installQtTranslations();

    const auto system = lantrivex::platform::makeHostPlatform();
    lantrivex::platform::Platform bundle = system->platform();
    lantrivex::shell::AppState state;
    lantrivex::ui::QtNotifier notifier;
    lantrivex::ui::FrmLantrivex window(bundle, notifier, state);
    notifier.setParent(&window);
    lantrivex::ui::connectDialogCommands(window, bundle, notifier, state);

    if (!window.Form_Load()) {
        return 0; // another instance runs
    }
    window.show();
    return QApplication::exec();
}
