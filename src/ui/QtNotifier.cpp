// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtNotifier.h"

#include "common/Language.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace lantrivex::ui {

namespace {

QString boxText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

QString title() {
    return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

QMessageBox::Icon boxIcon(platform::MessageIcon icon) {
    switch (icon) {
    case platform::MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case platform::MessageIcon::Critical:
        return QMessageBox::Critical;
    case platform::MessageIcon::Question:
        return QMessageBox::Question;
    case platform::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtNotifier::message(std::string_view text, platform::MessageIcon icon) {
    QMessageBox box(boxIcon(icon), title(), boxText(text), QMessageBox::Ok, parent_);
    // Names read from servers are shown as they are, one line under the other.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtNotifier::askYesNo(std::string_view text) {
    QMessageBox box(QMessageBox::Question, title(), boxText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setTextFormat(Qt::PlainText);
    // Enter answers No: a question that would discard work never takes the careless key.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtNotifier::beep() {
    QApplication::beep();
}

} // namespace lantrivex::ui
