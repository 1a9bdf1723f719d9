#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "collect/collection_calendar.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace data {
class Connection;
} // namespace data

namespace collect {

// The window "Пробелы": a calendar of the months, the newest at the top, and their days, each day
// coloured by what is known of its sales (CollectionCalendar), with its last page read as a tip.
// "Собрать пробелы" opens the collection window with the months and days of the gaps ticked, and
// reads the calendar again when it closes.
class TfmGaps : public QDialog
{
    Q_OBJECT

public:
    explicit TfmGaps(data::Connection& connection, QWidget* parent = nullptr);

    // Reads the collection log and the stored sales again and redraws the calendar.
    void refresh();
    void btCollectGapsClick();

    // Opens the collection window with these months (yyyy-mm) and days (dd) ticked, until it closes;
    // set by the program.
    std::function<void(const QList<QByteArray>& months, const QList<QByteArray>& days)> openCollection;

    const CollectionCalendar& calendar() const { return *calendar_; }

    QTableWidget* tbCalendar = nullptr;
    QLabel* lbSummary = nullptr;
    QPushButton* btCollectGaps = nullptr;
    QPushButton* btClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildLegend();
    void fillMonthRow(int row, QDate month);

    data::Connection& connection_;
    std::optional<CollectionCalendar> calendar_;
};

} // namespace collect
