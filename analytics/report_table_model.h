#pragma once

#include <QAbstractTableModel>

#include "analytics/report_table.h"

namespace analytics {

// A report table for a view: cells as the table writes them, numbers to the right, sorting by value
// (SortRole), and from heatColumn on, when set, each number's background the deeper orange the
// larger it is among them (the generations' heat map).
class ReportTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int SortRole = Qt::UserRole;

    explicit ReportTableModel(QObject* parent = nullptr);

    void setTable(ReportTable table, int heatColumn = -1);
    const ReportTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant heatColor(int column, const ReportCell& cell) const;

    ReportTable table_;
    int heatColumn_ = -1;
    double heatTop_ = 0;
};

} // namespace analytics
