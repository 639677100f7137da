// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmConnecter.h"

#include "discovery/DriveItems.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

namespace lantrivex::ui {
namespace {

// Twips to pixels at 96 dots per inch.
constexpr int px(int twips) {
    return twips / 15;
}

// Margin between the list's edge and a line's text, pixels.
constexpr int kTextMargin = 4;

// An item's two parts: before and after its first tab ("" when it has none).
std::pair<QString, QString> parts(const QString& line) {
    const int tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? std::pair{line, QString()} : std::pair{line.left(tab), line.mid(tab + 1)};
}

// Where the text after the tab starts, the same for every line of `list`: the first tab stop
// (every eight average characters) beyond the widest text before a tab, unless the widest text
// after a tab would then pass the list's right edge; the texts before the tab then give way.
int secondColumn(const QListWidget& list, const QFontMetrics& metrics) {
    int first = 0;
    int second = 0;
    for (int row = 0; row < list.count(); ++row) {
        const auto [before, after] = parts(list.item(row)->text());
        first = std::max(first, metrics.horizontalAdvance(before));
        second = std::max(second, metrics.horizontalAdvance(after));
    }
    const int gap = metrics.averageCharWidth();
    const int stop = gap * 8;
    const int column = std::max(stop, ((first + gap + stop - 1) / stop) * stop);
    const int room = list.viewport()->width() - 2 * kTextMargin - second;
    return column <= room ? column : std::max(stop, room);
}

// Shows each line as a list box with tab stops does: the text after the tab in a column of its
// own, at the same place on every line. A text before the tab too long for its column is
// shortened in its middle (the whole line is the item's tooltip).
class TabStopDelegate : public QStyledItemDelegate {
public:
    explicit TabStopDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const auto [before, after] = parts(opt.text);
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect textRect = opt.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        const int column = secondColumn(*list_, opt.fontMetrics);
        painter->save();
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          shownFirst(opt.fontMetrics, before, column));
        painter->drawText(textRect.adjusted(column, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          after);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::min(size.width(), list_->viewport()->width()));
        return size;
    }

    // The text before the tab as drawn before `column`.
    static QString shownFirst(const QFontMetrics& metrics, const QString& before, int column) {
        return metrics.elidedText(before, Qt::ElideMiddle, column - metrics.averageCharWidth());
    }

private:
    QListWidget* list_;
};

} // namespace

FrmConnecter::FrmConnecter(platform::DriveList& drives, const std::vector<std::string>& lstDrives,
                           LanguageFlag nLangue, QWidget* parent)
    : QDialog(parent), lstDrives_(new QListWidget(this)), cmdAnnuler_(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmConnecter"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(px(4740), px(2505));

    lstDrives_->setObjectName(QStringLiteral("lstDrives"));
    lstDrives_->setGeometry(px(120), px(120), px(4455), px(1815));
    lstDrives_->setItemDelegate(new TabStopDelegate(lstDrives_));
    lstDrives_->setSortingEnabled(false);

    cmdAnnuler_->setObjectName(QStringLiteral("cmdAnnuler"));
    cmdAnnuler_->setGeometry(px(1680), px(2040), px(1335), px(375));
    cmdAnnuler_->setDefault(true);
    connect(cmdAnnuler_, &QPushButton::clicked, this, &QDialog::reject);

    // Load: captions of the language, then the list.
    setWindowTitle(QString::fromStdString(discovery::DrivesDialogTitle(nLangue)));
    cmdAnnuler_->setText(
        QString::fromStdString(std::string(discovery::DrivesDialogButton(nLangue))));
    lstDrives_->clear();
    for (const std::string& item : discovery::DriveItems(drives, lstDrives, nLangue)) {
        const QString line = QString::fromStdString(item);
        lstDrives_->addItem(line);
        lstDrives_->item(lstDrives_->count() - 1)->setToolTip(line);
    }
}

int FrmConnecter::secondColumnLeft() const {
    return kTextMargin + secondColumn(*lstDrives_, lstDrives_->fontMetrics());
}

QString FrmConnecter::shownFirstText(int row) const {
    const QFontMetrics metrics = lstDrives_->fontMetrics();
    return TabStopDelegate::shownFirst(metrics, parts(lstDrives_->item(row)->text()).first,
                                       secondColumn(*lstDrives_, metrics));
}

} // namespace lantrivex::ui
