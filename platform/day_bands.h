#pragma once

#include <QColor>
#include <QDate>

namespace platform {

// The colour of a day's band in the day-by-day charts: weekends stand out, and odd months (January
// is 1) are tinted yellow while even months stay white.
QColor dayBandColor(QDate day);

// The weekday band colour of a day's month: what a month's label is written on.
QColor monthBandColor(int month);

} // namespace platform
