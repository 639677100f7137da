// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace lantrivex::ui {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kDark(128, 128, 128);
const QColor kFace(192, 192, 192);
const QColor kLight(255, 255, 255);
const QColor kTeal(0, 128, 128);
const QColor kNavy(0, 0, 128);
const QColor kFolder(255, 221, 96);
const QColor kFolderDark(176, 128, 0);

QPixmap blank(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A box with a black outline, a light top-left edge and a dark bottom-right edge.
void bevelBox(QPainter& p, const QRect& r, const QColor& face) {
    p.fillRect(r, face);
    p.setPen(kLight);
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    p.setPen(kDark);
    p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    p.setPen(kBlack);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void drawComputer(QPainter& p) {
    bevelBox(p, QRect(1, 0, 14, 11), kFace);
    p.fillRect(QRect(3, 2, 10, 7), kTeal);
    p.setPen(QColor(0, 200, 200));
    p.drawLine(4, 3, 6, 3);
    p.setPen(kBlack);
    p.drawRect(QRect(3, 2, 9, 6));
    p.fillRect(QRect(6, 11, 4, 2), kDark);
    bevelBox(p, QRect(2, 13, 12, 3), kFace);
}

void drawServer(QPainter& p) {
    bevelBox(p, QRect(3, 0, 10, 16), QColor(232, 224, 200));
    p.setPen(kDark);
    p.drawLine(5, 3, 10, 3);
    p.drawLine(5, 5, 10, 5);
    p.setPen(kBlack);
    p.drawLine(5, 4, 10, 4);
    // A small striped badge and the power light.
    const QColor stripes[] = {QColor(0, 160, 0), QColor(240, 200, 0), QColor(255, 128, 0),
                              QColor(224, 0, 0), QColor(128, 0, 160), QColor(0, 96, 224)};
    for (int i = 0; i < 6; ++i) {
        p.fillRect(QRect(6, 8 + i, 4, 1), stripes[i]);
    }
    p.fillRect(QRect(10, 13, 1, 1), QColor(0, 224, 0));
}

void drawFolder(QPainter& p, const QColor& face, const QColor& edge, int bottom) {
    p.setPen(edge);
    p.setBrush(face);
    p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 4), QPoint(14, 4),
                            QPoint(14, bottom), QPoint(1, bottom)}));
    p.setPen(face.lighter(130));
    p.drawLine(2, 5, 13, 5);
    p.setBrush(Qt::NoBrush);
}

void drawShareCable(QPainter& p, const QColor& color) {
    p.setPen(color);
    p.drawLine(7, 12, 7, 14);
    p.drawLine(8, 12, 8, 14);
    p.drawLine(2, 15, 13, 15);
}

void drawVolume(QPainter& p) {
    drawFolder(p, kFolder, kFolderDark, 11);
    drawShareCable(p, kBlack);
}

void drawMissingVolume(QPainter& p) {
    drawFolder(p, QColor(216, 216, 216), kDark, 11);
    drawShareCable(p, kDark);
    QPen cross(QColor(224, 0, 0), 2);
    p.setPen(cross);
    p.drawLine(8, 6, 14, 12);
    p.drawLine(14, 6, 8, 12);
}

void drawOpenFolder(QPainter& p) {
    drawFolder(p, kFolderDark.lighter(150), kFolderDark, 13);
    p.setPen(kFolderDark);
    p.setBrush(kFolder);
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
    p.setBrush(Qt::NoBrush);
}

void drawNetwork(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kNavy, 1));
    p.setBrush(QColor(64, 128, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(0, 176, 0));
    p.drawEllipse(QRectF(4, 4, 5, 4));
    p.drawEllipse(QRectF(8, 9, 4, 3));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawDrive(QPainter& p, bool connected) {
    bevelBox(p, QRect(1, 4, 14, 7), kFace);
    p.fillRect(QRect(10, 7, 2, 1), connected ? QColor(0, 224, 0) : kDark);
    p.setPen(kDark);
    p.drawLine(3, 7, 7, 7);
    p.setPen(connected ? kBlack : QColor(224, 0, 0));
    p.drawLine(7, 11, 7, 13);
    if (connected) {
        p.drawLine(2, 14, 13, 14);
    } else {
        p.drawLine(2, 14, 5, 14);
        p.drawLine(10, 14, 13, 14);
        p.drawLine(6, 12, 9, 15);
    }
}

void drawArrowHead(QPainter& p, QPointF tip, QPointF back, QColor color) {
    const QPointF d = tip - back;
    const QPointF n(-d.y(), d.x());
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({tip, back + n * 0.8, back - n * 0.8}));
    p.setBrush(Qt::NoBrush);
}

void drawRefresh(QPainter& p) {
    // One circular arrow turning clockwise, its head at the top right.
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor green(0, 128, 0);
    p.setPen(QPen(green, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
    const QPointF start(8 + 5.5 * 0.5, 8 - 5.5 * 0.866); // the arc's start, 60 degrees
    const QPointF along(0.866, 0.5);                     // clockwise there
    drawArrowHead(p, start + along * 3.2, start - along * 1.0, green);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawConnect(QPainter& p) {
    drawDrive(p, true);
    p.setPen(kNavy);
    p.drawLine(12, 0, 12, 3);
    p.drawLine(10, 1, 14, 1);
}

void drawSortArrow(QPainter& p, bool up) {
    const QColor mark(64, 64, 64);
    for (int row = 0; row < 5; ++row) {
        const int y = up ? 2 + row : 6 - row;
        p.fillRect(QRect(4 - row, y, 2 + 2 * row, 1), mark);
    }
}

} // namespace

QPixmap programIcon() {
    QPixmap pixmap = blank(32, 32);
    QPainter p(&pixmap);
    // A shared Macintosh volume under the magnifying glass.
    p.scale(1.5, 1.5);
    drawFolder(p, kFolder, kFolderDark, 12);
    drawShareCable(p, kBlack);
    p.resetTransform();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(96, 64, 32), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22.5, 22.5), QPointF(29.5, 29.5));
    p.setPen(QPen(kBlack, 2.0));
    p.setBrush(QColor(200, 232, 255, 230));
    p.drawEllipse(QPointF(17.5, 17.5), 7.0, 7.0);
    p.setPen(QPen(kLight, 1.5));
    p.drawArc(QRectF(13, 13, 9, 9), 100 * 16, 70 * 16);
    return pixmap;
}

QIcon programWindowIcon() {
    QIcon icon;
    const QPixmap big = programIcon();
    icon.addPixmap(big);
    icon.addPixmap(big.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

QPixmap treeImage(int n) {
    if (n < 1 || n > 8) {
        return {};
    }
    QPixmap pixmap = blank(16, 16);
    QPainter p(&pixmap);
    switch (n) {
    case 1:
        drawComputer(p);
        break;
    case 2:
        drawServer(p);
        break;
    case 3:
        drawVolume(p);
        break;
    case 4:
        drawOpenFolder(p);
        break;
    case 5:
        drawNetwork(p);
        break;
    case 6:
        drawDrive(p, true);
        break;
    case 7:
        drawDrive(p, false);
        break;
    default:
        drawMissingVolume(p);
        break;
    }
    return pixmap;
}

QPixmap toolbarImage(int n) {
    if (n < 1 || n > 3) {
        return {};
    }
    QPixmap pixmap = blank(n == 3 ? 15 : 16, 16);
    QPainter p(&pixmap);
    if (n == 1) {
        drawRefresh(p);
    } else if (n == 2) {
        drawDrive(p, true);
    } else {
        drawConnect(p);
    }
    return pixmap;
}

QPixmap upArrow() {
    QPixmap pixmap = blank(10, 9);
    QPainter p(&pixmap);
    drawSortArrow(p, true);
    return pixmap;
}

QPixmap downArrow() {
    QPixmap pixmap = blank(10, 9);
    QPainter p(&pixmap);
    drawSortArrow(p, false);
    return pixmap;
}

} // namespace lantrivex::ui
