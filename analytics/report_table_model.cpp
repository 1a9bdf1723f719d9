#include "analytics/report_table_model.h"

#include <QColor>

#include <algorithm>

namespace analytics {

ReportTableModel::ReportTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportTableModel::setTable(ReportTable table, int heatColumn)
{
    beginResetModel();
    table_ = std::move(table);
    heatColumn_ = heatColumn;
    heatTop_ = 0;
    for (const std::vector<ReportCell>& row : table_.rows)
        for (std::size_t column = std::size_t(std::max(0, heatColumn));
             heatColumn >= 0 && column < row.size(); ++column)
            heatTop_ = std::max(heatTop_, row[column].number);
    endResetModel();
}

int ReportTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.rows.size());
}

int ReportTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.titles.size());
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const ReportCell& cell = table_.rows[std::size_t(index.row())][std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return cell.kind == ReportCell::Kind::Text ? cell.text : cell.display();
    case SortRole:
        if (cell.isNumber())
            return cell.number;
        return cell.kind == ReportCell::Kind::Empty ? QVariant(-1e300) : QVariant(cell.text);
    case Qt::TextAlignmentRole:
        return cell.isNumber() ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::BackgroundRole:
        return heatColor(index.column(), cell);
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::ToolTipRole) &&
        section < table_.titles.size())
        return table_.titles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant ReportTableModel::heatColor(int column, const ReportCell& cell) const
{
    if (heatColumn_ < 0 || column < heatColumn_ || !cell.isNumber() || cell.number <= 0 || heatTop_ <= 0)
        return {};
    // From pale yellow for the least to deep orange for the largest, by the square root so that the
    // many small cells stay apart.
    const double depth = std::sqrt(cell.number / heatTop_);
    return QColor(255, int(250 - 150 * depth), int(215 - 195 * depth));
}

} // namespace analytics
