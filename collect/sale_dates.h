#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace collect {

// The days with downloads on a month statistics page, as yyyy-mm-dd texts in page order: each raw
// line holding "stats_date.mhtml?date=" names a day, and the number between "<td>" and "</td>" on
// the next raw line is its download count (a text that is no number counts as 0). PageError for a
// marker on the last line or a day that is not written yyyy-mm-dd.
QList<QByteArray> saleDatesOf(const QList<QByteArray>& rawLines);

// Replaces saleDates with the days of the saved month page in fileName; a missing file gives none.
void CollectSaleDates(const QString& fileName, QList<QByteArray>& saleDates);

} // namespace collect
