// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>

class QTranslator;

namespace lantrivex::ui {

// Installs Qt's own texts (the standard buttons of message boxes, the context menu of text boxes)
// in the language of `locale`, as every Qt program of the desktop shows them: the file
// qtbase_<language>.qm from Qt's translations folder, else from the folder "translations" beside
// the program. The program's own captions follow its language setting; these follow the
// system's. Returns the installed translator (owned by the application), or nullptr when there is
// none for that language and Qt's English texts stay.
QTranslator* installQtTranslations(const QLocale& locale = QLocale::system());

} // namespace lantrivex::ui
