// The window program: takes no arguments, shows the main window until it is closed.

#include "platform/posix/PosixPlatform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"
#include "ui/QtNotifier.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(classic);
    }

    lantrivex::platform::posix::PosixPlatform system;
    lantrivex::shell::AppState state;
    lantrivex::ui::QtNotifier notifier;
    lantrivex::ui::FrmLantrivex window(system.bundle(), notifier, state);
    notifier.setParent(&window);

    if (!window.Form_Load()) {
        return 0; // another instance runs
    }
    window.show();
    return QApplication::exec();
}
