// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ResultGridView.h"

#include "shell/Captions.h"
#include "ui/ResultGridModel.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

namespace lantrivex::ui {

ResultGridView::ResultGridView(ResultGridModel* model, std::function<LanguageFlag()> language,
                               QWidget* parent)
    : QTableView(parent), model_(model), language_(std::move(language)) {
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    setSortingEnabled(false);
    // The last column takes what is left of the width, so the grid needs no horizontal scrolling.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab and Shift+Tab leave the grid for the next control; the arrow keys move between cells.
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
}

std::vector<int> ResultGridView::rowsToCopy() const {
    std::vector<int> rows;
    if (selectionModel() != nullptr) {
        for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
            rows.push_back(index.row());
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ResultGridView::copyRows() {
    QApplication::clipboard()->setText(model_->toTabSeparated(rowsToCopy()));
}

void ResultGridView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyRows();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QMenu* ResultGridView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const std::string_view text = shell::texts::copyRows(language_ ? language_() : kEnglish);
    QAction* copy =
        menu->addAction(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    copy->setObjectName(QStringLiteral("mnuCopier"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &ResultGridView::copyRows);
    return menu;
}

void ResultGridView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

} // namespace lantrivex::ui
