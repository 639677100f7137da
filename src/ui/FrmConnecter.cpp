#include "ui/FrmConnecter.h"

#include "discovery/DriveItems.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

namespace lantrivex::ui {
namespace {

// Twips to pixels at 96 dots per inch.
constexpr int px(int twips) {
    return twips / 15;
}

// Shows an item's tab as a list box does: the text after it starts at the next tab stop.
class TabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect textRect =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
        painter->save();
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        const int tab = text.indexOf(QLatin1Char('\t'));
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text.left(tab));
        if (tab >= 0) {
            painter->drawText(
                textRect.adjusted(secondColumn(opt.fontMetrics, text.left(tab)), 0, 0, 0),
                Qt::AlignVCenter | Qt::AlignLeft, text.mid(tab + 1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        const int tab = text.indexOf(QLatin1Char('\t'));
        int width = opt.fontMetrics.horizontalAdvance(text.left(tab));
        if (tab >= 0) {
            width = secondColumn(opt.fontMetrics, text.left(tab)) +
                    opt.fontMetrics.horizontalAdvance(text.mid(tab + 1));
        }
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(width + 8);
        return size;
    }

private:
    // Where the text after the tab starts: the first tab stop (every eight average characters)
    // beyond the text before it.
    static int secondColumn(const QFontMetrics& metrics, const QString& first) {
        const int stop = metrics.averageCharWidth() * 8;
        const int used = metrics.horizontalAdvance(first) + metrics.averageCharWidth();
        return std::max(stop, ((used + stop - 1) / stop) * stop);
    }
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
        lstDrives_->addItem(QString::fromStdString(item));
    }
}

} // namespace lantrivex::ui
