// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmAbout.h"

#include "shell/AboutBox.h"
#include "ui/Images.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace lantrivex::ui {

namespace {

int px(int twips) {
    return qRound(twips / 15.0);
}

QString display(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

} // namespace

FrmAbout::FrmAbout(LanguageFlag nLangue, std::size_t signatureCount, platform::ShellOpen& shell,
                   QWidget* parent)
    : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFixedSize(px(6585), px(3075));

    const shell::AboutBoxTexts texts = shell::aboutBoxTexts(nLangue, signatureCount);
    linkUrl_ = texts.linkUrl;

    // A label of the design's size, grown to its text where the font is larger than the design's
    // (the legend's labels are sized for a small 8-point face).
    auto label = [](QWidget* owner, const char* name, const std::string& text, int left, int top,
                    int width, int height, Qt::Alignment alignment) {
        auto* l = new QLabel(display(text), owner);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(alignment);
        const QFontMetrics metrics = l->fontMetrics();
        const QStringList lines = l->text().split(QLatin1Char('\n'));
        int textWidth = 0;
        for (const QString& line : lines) {
            textWidth = std::max(textWidth, metrics.horizontalAdvance(line) + 2);
        }
        const int textHeight = static_cast<int>(lines.size()) * metrics.lineSpacing() + 2;
        l->setGeometry(px(left), px(top), std::max(px(width), textWidth),
                       std::max(px(height), textHeight));
        return l;
    };

    label(this, "lblCredit", texts.lblCredit, 120, 120, 6375, 735, Qt::AlignHCenter | Qt::AlignTop);

    lblLink_ = label(this, "lblLink", texts.lblLink, 1545, 960, 3375, 240,
                     Qt::AlignHCenter | Qt::AlignTop);
    lblLink_->setCursor(Qt::PointingHandCursor);
    QFont linkFont = lblLink_->font();
    linkFont.setUnderline(true);
    lblLink_->setFont(linkFont);
    QPalette linkPalette = lblLink_->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblLink_->setPalette(linkPalette);
    lblLink_->installEventFilter(this);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(px(120), px(1320), px(6375), px(1095));

    auto picture = [frame1](const char* name, int image, int left, int top) {
        auto* p = new QLabel(frame1);
        p->setObjectName(QString::fromLatin1(name));
        p->setGeometry(px(left), px(top), 16, 16);
        p->setPixmap(treeImage(image));
        return p;
    };
    picture("Picture1", 1, 240, 120);
    picture("Picture2", 2, 3240, 120);
    picture("Picture3", 3, 240, 600);
    picture("Picture8", 8, 3240, 600);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    label(frame1, "lblServeur", texts.lblServeur, 600, 120, 2025, 195, left);
    label(frame1, "lblServeurMac", texts.lblServeurMac, 3600, 120, 2940, 195, left);
    label(frame1, "lblVolumeMac", texts.lblVolumeMac, 600, 600, 1935, 195, left);
    label(frame1, "lblVolumeMacErr", texts.lblVolumeMacErr, 3600, 600, 2895, 195, left);

    auto* cmdOK = new QPushButton(display(texts.cmdOK), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(px(2520), px(2520), px(1452), px(450));
    cmdOK->setDefault(true);
    // OK is also the cancel button: Esc closes the box as it does any dialog.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(display(texts.title));
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblLink_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            lblLink_->rect().contains(mouse->position().toPoint())) {
            lblLink_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::lblLink_Click() {
    // The shell's answer is not reported: the box stays open either way.
    (void)shell_.open(linkUrl_);
}

} // namespace lantrivex::ui
