// The window program: takes no arguments, shows the main window until it is closed.

#include "platform/posix/PosixPlatform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"
#include "ui/QtNotifier.h"

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

    lantrivex::platform::posix::PosixPlatform system;
    lantrivex::platform::Platform bundle = system.platform();
    lantrivex::shell::AppState state;
    lantrivex::ui::QtNotifier notifier;
    lantrivex::ui::FrmLantrivex window(bundle, notifier, state);
    notifier.setParent(&window);

    if (!window.Form_Load()) {
        return 0; // another instance runs
    }
    window.show();
    return QApplication::exec();
}
