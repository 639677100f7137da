// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmGestionSignatures.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

namespace lantrivex::ui {

namespace {

// Twips to pixels at 15 twips per pixel.
int px(int twips) {
    return qRound(twips / 15.0);
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// The program's texts are UTF-8 with CR LF line breaks; a label breaks its lines at LF.
QString display(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

// Design sizes, in twips.
constexpr int kClientWidth = 7485;
constexpr int kClientHeight = 6225;
constexpr int kListWidth = 7455;
constexpr int kListHeight = 3495;
constexpr int kFrameTop = 3480;
constexpr int kFrameWidth = 7455;
constexpr int kFrameHeight = 2175;
constexpr int kColumnWidth = 1440;
constexpr int kFieldTop = 240;
constexpr int kFieldHeight = 375;
constexpr int kLabelTop = 680;

} // namespace

// Message boxes shown while the wait pointer is up would show it too: the pointer is put back
// to normal for the time of the box.
class FrmGestionSignatures::BoxNotifier : public platform::Notifier {
public:
    explicit BoxNotifier(platform::Notifier& inner) : inner_(inner) {}

    void message(std::string_view text, platform::MessageIcon icon) override {
        const bool waiting = QApplication::overrideCursor() != nullptr;
        if (waiting) {
            QApplication::restoreOverrideCursor();
        }
        inner_.message(text, icon);
        if (waiting) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    bool askYesNo(std::string_view text) override { return inner_.askYesNo(text); }
    void beep() override { inner_.beep(); }

private:
    platform::Notifier& inner_;
};

QColor FrmGestionSignatures::errorColour() {
    return QColor(255, 0, 0);
}

QColor FrmGestionSignatures::resultColour() {
    return QColor(255, 0, 255);
}

FrmGestionSignatures::FrmGestionSignatures(signatures::SignatureTable& table,
                                           platform::FileSystem& files,
                                           platform::Notifier& notifier, LanguageFlag nLangue,
                                           QWidget* parent)
    : QDialog(parent), boxNotifier_(std::make_unique<BoxNotifier>(notifier)),
      manager_(table, files, *boxNotifier_, nLangue) {
    setObjectName(QStringLiteral("frmGestionSignatures"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFixedSize(px(kClientWidth), px(kClientHeight));

    lstSignatures_ = new QTreeWidget(this);
    lstSignatures_->setObjectName(QStringLiteral("lstSignatures"));
    lstSignatures_->setGeometry(twipsRect(0, 0, kListWidth, kListHeight));
    lstSignatures_->setColumnCount(3);
    lstSignatures_->setHeaderLabels({display(shell::kSignatureColumns[0]),
                                     display(shell::kSignatureColumns[1]),
                                     display(shell::kSignatureColumns[2])});
    lstSignatures_->setRootIsDecorated(false);
    lstSignatures_->setItemsExpandable(false);
    lstSignatures_->setUniformRowHeights(true);
    lstSignatures_->setAllColumnsShowFocus(true);
    lstSignatures_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstSignatures_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstSignatures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstSignatures_->setSortingEnabled(false); // the manager orders the rows
    lstSignatures_->header()->setSectionsClickable(true);
    lstSignatures_->header()->setSectionsMovable(false);
    // The description column takes what the other two leave of the list: the design's width for
    // it counts on a 16-pixel scroll bar in a 2-pixel frame, and any wider one (Wine's, a theme's)
    // would push it past the edge and bring a horizontal scroll bar for nothing.
    lstSignatures_->header()->setStretchLastSection(true);

    frame1_ = new QGroupBox(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(twipsRect(0, kFrameTop, kFrameWidth, kFrameHeight));

    auto lineEdit = [this](const char* name) {
        auto* edit = new QLineEdit(frame1_);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    txtSignature_ = lineEdit("txtSignature");
    txtExtension_ = lineEdit("txtExtension");
    txtType_ = lineEdit("txtType");

    auto label = [](QWidget* owner, const char* name) {
        auto* l = new QLabel(owner);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    lblSignature_ = label(frame1_, "lblSignature");
    lblExtension_ = label(frame1_, "lblExtension");
    lblType_ = label(frame1_, "lblType");
    for (QLabel* l : {lblSignature_, lblExtension_, lblType_}) {
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto button = [](QWidget* owner, const char* name, QRect where) {
        auto* b = new QPushButton(owner);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(where);
        return b;
    };
    cmdAjouter_ = button(frame1_, "cmdAjouter", twipsRect(1200, 1200, 1455, 375));
    cmdSupprimer_ = button(frame1_, "cmdSupprimer", twipsRect(4680, 1200, 1455, 375));
    lblMsg_ = label(frame1_, "lblMsg");
    lblMsg_->setGeometry(twipsRect(120, 1680, 7215, 375));
    lblMsg_->setAutoFillBackground(false);
    cmdOK_ = button(this, "cmdOK", twipsRect(1200, 5760, 1455, 375));
    cmdAnnuler_ = button(this, "cmdAnnuler", twipsRect(4680, 5760, 1455, 375));
    QFont bold = cmdOK_->font();
    bold.setBold(true);
    cmdOK_->setFont(bold);
    cmdAjouter_->setDefault(true);

    // The edit fields stand under the list's columns.
    const shell::SignatureFieldLayout fields =
        shell::alignSignatureFields(kListWidth, kColumnWidth, kColumnWidth, kFrameWidth);
    lstSignatures_->setColumnWidth(0, px(kColumnWidth));
    lstSignatures_->setColumnWidth(1, px(kColumnWidth));
    // The third takes the rest (the design's width beside a 16-pixel scroll bar).
    const int labelHeight =
        std::max(px(kFieldHeight), 2 * lblSignature_->fontMetrics().lineSpacing() + 2);
    const struct {
        QLineEdit* edit;
        QLabel* label;
        int left;
        int width;
    } columns[] = {{txtSignature_, lblSignature_, fields.signatureLeft, fields.signatureWidth},
                   {txtExtension_, lblExtension_, fields.extensionLeft, fields.extensionWidth},
                   {txtType_, lblType_, fields.typeLeft, fields.typeWidth}};
    for (const auto& c : columns) {
        c.edit->setGeometry(twipsRect(c.left, kFieldTop, c.width, kFieldHeight));
        c.label->setGeometry(px(c.left), px(kLabelTop), px(c.width), labelHeight);
    }

    // Captions in the dialog's language.
    const shell::SignatureManagerCaptions captions = shell::signatureManagerCaptions(nLangue);
    lblSignature_->setText(display(captions.lblSignature));
    lblExtension_->setText(display(captions.lblExtension));
    lblType_->setText(display(captions.lblType));
    cmdAjouter_->setText(display(captions.cmdAjouter));
    cmdSupprimer_->setText(display(captions.cmdSupprimer));
    cmdOK_->setText(display(captions.cmdOK));
    cmdAnnuler_->setText(display(captions.cmdAnnuler));

    setTabOrder(lstSignatures_, txtSignature_);
    setTabOrder(txtSignature_, txtExtension_);
    setTabOrder(txtExtension_, txtType_);
    setTabOrder(txtType_, cmdAjouter_);
    setTabOrder(cmdAjouter_, cmdSupprimer_);
    setTabOrder(cmdSupprimer_, cmdOK_);
    setTabOrder(cmdOK_, cmdAnnuler_);

    connect(cmdAjouter_, &QPushButton::clicked, this, &FrmGestionSignatures::cmdAjouter_Click);
    connect(cmdSupprimer_, &QPushButton::clicked, this, &FrmGestionSignatures::cmdSupprimer_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &FrmGestionSignatures::cmdOK_Click);
    connect(cmdAnnuler_, &QPushButton::clicked, this, &FrmGestionSignatures::reject);
    connect(lstSignatures_->header(), &QHeaderView::sectionClicked, this,
            &FrmGestionSignatures::lstSignatures_ColumnClick);
    connect(lstSignatures_, &QTreeWidget::itemSelectionChanged, this,
            &FrmGestionSignatures::lstSignatures_SelectionChanged);
    lstSignatures_->installEventFilter(this);
    lstSignatures_->viewport()->installEventFilter(this);

    // Opening: the file is read into the list (its warnings, if any, are shown now).
    manager_.open();
    showList();
    showMessage();
}

FrmGestionSignatures::~FrmGestionSignatures() = default;

void FrmGestionSignatures::showList() {
    const QSignalBlocker blocker(lstSignatures_);
    const int scroll = lstSignatures_->verticalScrollBar()->value();
    lstSignatures_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(manager_.rows().size()));
    for (const shell::SignatureRow& row : manager_.rows()) {
        auto* item = new QTreeWidgetItem(
            QStringList{display(row.signature), display(row.extension), display(row.description)});
        item->setData(0, Qt::UserRole, display(row.key));
        items.append(item);
    }
    lstSignatures_->addTopLevelItems(items);
    lstSignatures_->verticalScrollBar()->setValue(scroll);

    if (const auto selected = manager_.selected()) {
        QTreeWidgetItem* item = lstSignatures_->topLevelItem(static_cast<int>(*selected));
        lstSignatures_->setCurrentItem(item);
        item->setSelected(true);
        lstSignatures_->scrollToItem(item);
    } else {
        lstSignatures_->clearSelection();
        lstSignatures_->setCurrentItem(nullptr);
    }

    QHeaderView* header = lstSignatures_->header();
    header->setSortIndicatorShown(manager_.sorted());
    if (manager_.sorted()) {
        header->setSortIndicator(manager_.sortColumn(), manager_.sortDescending()
                                                            ? Qt::DescendingOrder
                                                            : Qt::AscendingOrder);
    }
    setWindowTitle(display(manager_.title()));
}

void FrmGestionSignatures::showMessage() {
    lblMsg_->setText(display(manager_.message()));
    QPalette palette = lblMsg_->palette();
    palette.setColor(QPalette::WindowText, manager_.messageKind() == shell::MessageKind::Error
                                               ? errorColour()
                                               : resultColour());
    lblMsg_->setPalette(palette);
    setWindowTitle(display(manager_.title()));
}

void FrmGestionSignatures::cmdAjouter_Click() {
    using Outcome = shell::SignatureManager::AddOutcome;
    const Outcome outcome = manager_.addOrModify(
        utf8(txtSignature_->text()), utf8(txtExtension_->text()), utf8(txtType_->text()));
    if (outcome == Outcome::Added || outcome == Outcome::Modified) {
        showList();
        txtSignature_->setFocus();
    }
    showMessage();
}

void FrmGestionSignatures::cmdSupprimer_Click() {
    if (manager_.removeSelected()) {
        showList();
    }
    showMessage();
}

void FrmGestionSignatures::lstSignatures_SelectionChanged() {
    const QList<QTreeWidgetItem*> selected = lstSignatures_->selectedItems();
    if (selected.isEmpty()) {
        manager_.select(std::nullopt);
    } else {
        manager_.select(
            static_cast<std::size_t>(lstSignatures_->indexOfTopLevelItem(selected.front())));
    }
}

void FrmGestionSignatures::lstSignatures_Click() {
    if (const auto row = manager_.clickList()) {
        txtSignature_->setText(display(row->signature));
        txtExtension_->setText(display(row->extension));
        txtType_->setText(display(row->description));
    }
    showMessage();
}

void FrmGestionSignatures::lstSignatures_ColumnClick(int column) {
    manager_.clickHeader(column);
    showList();
}

void FrmGestionSignatures::cmdOK_Click() {
    using Outcome = shell::SignatureManager::SaveOutcome;
    Outcome outcome;
    if (manager_.flagModified()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        outcome = manager_.save();
        QApplication::restoreOverrideCursor();
    } else {
        outcome = manager_.save();
    }
    switch (outcome) {
    case Outcome::NothingToSave:
    case Outcome::Saved:
        accept();
        return;
    case Outcome::Refused:
    case Outcome::Failed:
        showList();
        showMessage();
        return;
    }
}

void FrmGestionSignatures::reject() {
    if (manager_.confirmClose()) {
        QDialog::reject();
    }
}

bool FrmGestionSignatures::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstSignatures_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            cmdSupprimer_Click();
            return true;
        }
    } else if (watched == lstSignatures_->viewport() &&
               event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // The press has already set the selection: the click acts on it.
            lstSignatures_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lantrivex::ui
