// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/FileSystem.h"
#include "platform/Notifier.h"
#include "shell/SignatureManager.h"
#include "signatures/SignatureTable.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace lantrivex::ui {

// The signature manager: a modal dialog that lists the rows of the signatures file, adds,
// modifies and removes rows, and saves the file (the table is then reloaded from it). Every
// decision is the SignatureManager's; the dialog shows its state and passes the user's actions
// on. Controls carry their names as objectNames: lstSignatures (rows keyed "K" + signature in
// Qt::UserRole of column 0), Frame1, txtSignature, txtExtension, txtType, lblSignature,
// lblExtension, lblType, cmdAjouter, cmdSupprimer, lblMsg, cmdOK, cmdAnnuler.
class FrmGestionSignatures : public QDialog {
    Q_OBJECT

public:
    // Reads the file named by table.sSignaturesFile at once. `notifier` shows the boxes, the
    // question and the beep.
    FrmGestionSignatures(signatures::SignatureTable& table, platform::FileSystem& files,
                         platform::Notifier& notifier, LanguageFlag nLangue,
                         QWidget* parent = nullptr);
    ~FrmGestionSignatures() override;

    const shell::SignatureManager& manager() const noexcept { return manager_; }

    // Cancel, Esc and the close box: asks before discarding changes.
    void reject() override;

    // The colours of the message line.
    static QColor errorColour();
    static QColor resultColour();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class BoxNotifier;

    void cmdAjouter_Click();
    void cmdSupprimer_Click();
    void cmdOK_Click();
    void lstSignatures_Click();
    void lstSignatures_ColumnClick(int column);
    void lstSignatures_SelectionChanged();

    void showList();
    void showMessage();

    std::unique_ptr<BoxNotifier> boxNotifier_;
    shell::SignatureManager manager_;

    QTreeWidget* lstSignatures_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QLineEdit* txtSignature_ = nullptr;
    QLineEdit* txtExtension_ = nullptr;
    QLineEdit* txtType_ = nullptr;
    QLabel* lblSignature_ = nullptr;
    QLabel* lblExtension_ = nullptr;
    QLabel* lblType_ = nullptr;
    QPushButton* cmdAjouter_ = nullptr;
    QPushButton* cmdSupprimer_ = nullptr;
    QLabel* lblMsg_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdAnnuler_ = nullptr;
};

} // namespace lantrivex::ui
