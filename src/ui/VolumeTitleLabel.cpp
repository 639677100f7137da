// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/VolumeTitleLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace lantrivex::ui {

VolumeTitleLabel::VolumeTitleLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void VolumeTitleLabel::setTotalLine(QWidget* total) {
    if (total_ != nullptr) {
        total_->removeEventFilter(this);
    }
    total_ = total;
    if (total_ != nullptr) {
        total_->installEventFilter(this);
    }
    placeText();
}

void VolumeTitleLabel::placeText() {
    place();
    update();
}

void VolumeTitleLabel::place() {
    placedFor_ = text();
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.horizontalAdvance(placedFor_);
    int left = area.left() + (area.width() - textWidth) / 2;
    int right = area.right();
    if (total_ != nullptr && total_->parentWidget() == parentWidget()) {
        const QRect total = total_->geometry().translated(-pos());
        // Only a total line that shares the title's band and starts in its left half is avoided.
        if (total.bottom() >= 0 && total.top() <= height() && total.left() < area.center().x()) {
            const int clear = total.right() + 1 + metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
            left = std::max(left, clear);
        }
    }
    shownText_ = placedFor_;
    if (left + textWidth - 1 > right) {
        const int room = std::max(0, right - left + 1);
        shownText_ = metrics.elidedText(placedFor_, Qt::ElideRight, room);
        if (metrics.horizontalAdvance(shownText_) > room) {
            shownText_.clear();
        }
    }
    const int shownWidth = metrics.horizontalAdvance(shownText_);
    textRect_ = QRect(left, area.top(), shownWidth, area.height());
    setToolTip(shownText_ == placedFor_ ? QString() : placedFor_);
}

bool VolumeTitleLabel::event(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::Move ||
        event->type() == QEvent::Show) {
        placeText();
    }
    return QLabel::event(event);
}

bool VolumeTitleLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == total_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                              event->type() == QEvent::Show)) {
        placeText();
    }
    return QLabel::eventFilter(watched, event);
}

void VolumeTitleLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    placeText();
}

void VolumeTitleLabel::paintEvent(QPaintEvent*) {
    if (placedFor_ != text()) {
        place();
    }
    QPainter painter(this);
    style()->drawItemText(&painter, textRect_, Qt::AlignLeft | Qt::AlignVCenter, palette(),
                          isEnabled(), shownText_, foregroundRole());
}

} // namespace lantrivex::ui
