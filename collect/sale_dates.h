#pragma once

#include <QByteArray>
#include <QList>

namespace collect {

// The days with downloads on a month statistics page, as yyyy-mm-dd texts in page order: each raw
// line holding "stats_date.mhtml?date=" names a day, and the number between "<td>" and "</td>" on
// the next raw line is its download count (a text that is no number counts as 0). PageError for a
// marker on the last line or a day that is not written yyyy-mm-dd. The sales run reads the month page
// it has just downloaded with it; a month page that did not arrive is an error there, not a month
// without days.
QList<QByteArray> saleDatesOf(const QList<QByteArray>& rawLines);

} // namespace collect
