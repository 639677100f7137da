// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/VolumeResult.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

namespace lantrivex::ui {

// The rows of one result grid: four columns "#", "%", "Signature", "Type" under one header row.
// The grid keeps the analysis result; a grid without data rows holds none yet. Each header cell
// may carry the sort mark: emphasis (bold) and an up or down arrow.
class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class SortMark { None, Up, Down };
    enum class SortKind { Numeric, Text };

    // The value a cell sorts on (an int64 for "#", the rounded share as a double for "%").
    static constexpr int SortValueRole = Qt::UserRole + 1;

    explicit ResultGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces the data rows, in the given order.
    void setRows(std::vector<shell::ResultRow> rows);
    // Leaves the header row only.
    void clearRows();
    const std::vector<shell::ResultRow>& rows() const noexcept { return rows_; }

    void setColumnAlignment(int column, Qt::Alignment alignment);

    // The header cell's emphasis and arrow.
    void setHeaderMark(int column, bool emphasis, SortMark mark);
    SortMark headerMark(int column) const;
    bool headerEmphasis(int column) const;

    // Sorts the data rows by one column: numerically on the values of "#" and "%", as
    // case-sensitive text otherwise. Rows with equal keys keep their order.
    void sortRows(int column, SortKind kind, Qt::SortOrder order);

    // "#" and "%" sort numerically, every other header as text.
    static SortKind sortKindOf(const QString& header);

    // The header line and the given data rows (all rows when `rowIndexes` is empty), as
    // tab-separated text with CR LF line ends, ready for a spreadsheet.
    QString toTabSeparated(const std::vector<int>& rowIndexes) const;

    static QString headerText(int column);

private:
    QString cellText(const shell::ResultRow& row, int column) const;

    std::vector<shell::ResultRow> rows_;
    std::array<Qt::Alignment, 4> alignments_{};
    std::array<SortMark, 4> marks_{};
    std::array<bool, 4> emphasis_{};
};

} // namespace lantrivex::ui
