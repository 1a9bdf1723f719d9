#include "platform/day_bands.h"

namespace platform {

namespace {

bool isOdd(int month)
{
    return month % 2 != 0;
}

} // namespace

QColor monthBandColor(int month)
{
    return isOdd(month) ? QColor(255, 255, 224) : QColor(255, 255, 255);
}

QColor dayBandColor(QDate day)
{
    if (day.dayOfWeek() < Qt::Saturday)
        return monthBandColor(day.month());
    return isOdd(day.month()) ? QColor(255, 255, 193) : QColor(250, 250, 245);
}

} // namespace platform
