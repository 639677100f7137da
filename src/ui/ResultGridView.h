// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <QTableView>
#include <functional>
#include <vector>

class QMenu;

namespace lantrivex::ui {

class ResultGridModel;

// A result grid as shown: a table under a clickable header row, without a row header. Ctrl+C and
// the context menu's "Copy" put the selected rows (all rows when none is selected) on the
// clipboard as tab-separated text with the header line.
class ResultGridView : public QTableView {
    Q_OBJECT
public:
    // `language` tells the interface language at the moment the context menu opens.
    ResultGridView(ResultGridModel* model, std::function<LanguageFlag()> language,
                   QWidget* parent = nullptr);

    ResultGridModel* gridModel() const noexcept { return model_; }

    // The rows a copy takes, in the grid's order: the selected ones, or none for all.
    std::vector<int> rowsToCopy() const;

    // The context menu with its one item "Copier" / "Copy", in the language of the moment.
    QMenu* createContextMenu(QWidget* parent);

public slots:
    void copyRows();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ResultGridModel* model_;
    std::function<LanguageFlag()> language_;
};

} // namespace lantrivex::ui
