// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace lantrivex::ui {

// The pictures of the program, drawn in code: small, flat, outlined in black and lit from the top
// left, in the manner of the system's own administration tools.

// The program icon, 32 x 32 (and 16 x 16 in the window icon).
QPixmap programIcon();
QIcon programWindowIcon();

// The catalogue tree's images, 16 x 16, numbered 1 to 8: 1 Windows machine, 2 Macintosh file
// server, 3 Macintosh volume, 4 open folder, 5 network, 6 network drive, 7 disconnected network
// drive, 8 Macintosh volume whose Windows folder is missing. A null pixmap for other numbers.
QPixmap treeImage(int n);

// The toolbar's images, numbered 1 to 3: 1 refresh (16 x 16), 2 drives (16 x 16), 3 connect
// (15 x 16).
QPixmap toolbarImage(int n);

// The sort marks of the result grids' headers, 10 x 9.
QPixmap upArrow();
QPixmap downArrow();

} // namespace lantrivex::ui
