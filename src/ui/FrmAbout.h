// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/ShellOpen.h"

#include <QDialog>
#include <cstddef>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace lantrivex::ui {

// The About box: product line and the number of known signatures, the maker's web address as a
// link, and the legend of the catalogue tree's images. Built with its texts for one opening.
// Controls by objectName: lblCredit, lblLink, Frame1, Picture1, Picture2, Picture3, Picture8,
// lblServeur, lblServeurMac, lblVolumeMac, lblVolumeMacErr, cmdOK.
class FrmAbout : public QDialog {
    Q_OBJECT

public:
    // `signatureCount`: the rows of the signature table now. `shell` opens the link.
    FrmAbout(LanguageFlag nLangue, std::size_t signatureCount, platform::ShellOpen& shell,
             QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lblLink_Click();

    platform::ShellOpen& shell_;
    std::string linkUrl_;
    QLabel* lblLink_ = nullptr;
};

} // namespace lantrivex::ui
