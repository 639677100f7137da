// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ResultGridModel.h"

#include "shell/Captions.h"
#include "ui/Images.h"

#include <QFont>
#include <algorithm>

namespace lantrivex::ui {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool validColumn(int column) {
    return column >= 0 && column < 4;
}

} // namespace

ResultGridModel::ResultGridModel(QObject* parent) : QAbstractTableModel(parent) {
    alignments_.fill(Qt::AlignLeft | Qt::AlignVCenter);
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QString ResultGridModel::headerText(int column) {
    if (!validColumn(column)) {
        return {};
    }
    const std::string_view h = shell::kGridHeaders[column];
    return QString::fromUtf8(h.data(), static_cast<qsizetype>(h.size()));
}

QString ResultGridModel::cellText(const shell::ResultRow& row, int column) const {
    switch (column) {
    case 0:
        return QString::number(row.count);
    case 1:
        return fromUtf8(row.percentText);
    case 2:
        return fromUtf8(row.signature);
    default:
        return fromUtf8(row.description);
    }
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || !validColumn(index.column())) {
        return {};
    }
    const shell::ResultRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignments_[static_cast<std::size_t>(index.column())]);
    case SortValueRole:
        if (index.column() == 0) {
            return QVariant::fromValue<qint64>(row.count);
        }
        if (index.column() == 1) {
            return row.percent;
        }
        return cellText(row, index.column());
    default:
        return {};
    }
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !validColumn(section)) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto i = static_cast<std::size_t>(section);
    switch (role) {
    case Qt::DisplayRole:
        return headerText(section);
    case Qt::FontRole:
        if (emphasis_[i]) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::DecorationRole:
        if (marks_[i] == SortMark::Up) {
            return upArrow();
        }
        if (marks_[i] == SortMark::Down) {
            return downArrow();
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignments_[i]);
    default:
        return {};
    }
}

void ResultGridModel::setRows(std::vector<shell::ResultRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ResultGridModel::clearRows() {
    setRows({});
}

void ResultGridModel::setColumnAlignment(int column, Qt::Alignment alignment) {
    if (validColumn(column)) {
        alignments_[static_cast<std::size_t>(column)] = alignment;
        emit headerDataChanged(Qt::Horizontal, column, column);
        if (!rows_.empty()) {
            emit dataChanged(index(0, column), index(rowCount() - 1, column));
        }
    }
}

void ResultGridModel::setHeaderMark(int column, bool emphasis, SortMark mark) {
    if (validColumn(column)) {
        emphasis_[static_cast<std::size_t>(column)] = emphasis;
        marks_[static_cast<std::size_t>(column)] = mark;
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
}

ResultGridModel::SortMark ResultGridModel::headerMark(int column) const {
    return validColumn(column) ? marks_[static_cast<std::size_t>(column)] : SortMark::None;
}

bool ResultGridModel::headerEmphasis(int column) const {
    return validColumn(column) && emphasis_[static_cast<std::size_t>(column)];
}

ResultGridModel::SortKind ResultGridModel::sortKindOf(const QString& header) {
    return (header == QLatin1String("#") || header == QLatin1String("%")) ? SortKind::Numeric
                                                                          : SortKind::Text;
}

void ResultGridModel::sortRows(int column, SortKind kind, Qt::SortOrder order) {
    if (!validColumn(column)) {
        return;
    }
    const bool ascending = order == Qt::AscendingOrder;
    auto less = [&](const shell::ResultRow& a, const shell::ResultRow& b) {
        if (kind == SortKind::Numeric) {
            if (column == 0) {
                return a.count < b.count;
            }
            if (column == 1) {
                return a.percent < b.percent;
            }
            return cellText(a, column).toDouble() < cellText(b, column).toDouble();
        }
        // The signature and the description compare as their UTF-8 bytes: the order of their
        // code points, which is that of the shown text for every character the ANSI code page
        // holds, without making two texts at each comparison (a grid may hold 100,000 rows).
        if (column == 2) {
            return a.signature < b.signature;
        }
        if (column == 3) {
            return a.description < b.description;
        }
        return cellText(a, column).compare(cellText(b, column), Qt::CaseSensitive) < 0;
    };
    beginResetModel();
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const shell::ResultRow& a, const shell::ResultRow& b) {
                         return ascending ? less(a, b) : less(b, a);
                     });
    endResetModel();
}

QString ResultGridModel::toTabSeparated(const std::vector<int>& rowIndexes) const {
    auto field = [](QString text) {
        // A tab or a line break inside a field would shift the spreadsheet's cells.
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    };
    QString out;
    for (int c = 0; c < 4; ++c) {
        out += (c ? QStringLiteral("\t") : QString()) + headerText(c);
    }
    out += QStringLiteral("\r\n");
    auto appendRow = [&](const shell::ResultRow& row) {
        for (int c = 0; c < 4; ++c) {
            out += (c ? QStringLiteral("\t") : QString()) + field(cellText(row, c));
        }
        out += QStringLiteral("\r\n");
    };
    if (rowIndexes.empty()) {
        for (const auto& row : rows_) {
            appendRow(row);
        }
    } else {
        for (int i : rowIndexes) {
            if (i >= 0 && i < rowCount()) {
                appendRow(rows_[static_cast<std::size_t>(i)]);
            }
        }
    }
    return out;
}

} // namespace lantrivex::ui
