// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/DriveList.h"

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace lantrivex::ui {

// The drives dialog: this computer's drives with their kind, and for a network drive that the
// main window's drive lines name, its share. Filled once when created (the main window's lines as
// of its last refresh); closed with its single button. Shown modally.
class FrmConnecter : public QDialog {
    Q_OBJECT
public:
    // `lstDrives`: the main window's drive lines (local name, tab, server\share).
    FrmConnecter(platform::DriveList& drives, const std::vector<std::string>& lstDrives,
                 LanguageFlag nLangue, QWidget* parent = nullptr);

    QListWidget* list() const noexcept { return lstDrives_; }
    QPushButton* cancelButton() const noexcept { return cmdAnnuler_; }

    // Where, in the list's viewport, the text after the tab starts on every line (pixels).
    int secondColumnLeft() const;
    // The text before the tab of line `row` as the list shows it (shortened when too long).
    QString shownFirstText(int row) const;

private:
    QListWidget* lstDrives_;
    QPushButton* cmdAnnuler_;
};

} // namespace lantrivex::ui
