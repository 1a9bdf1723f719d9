#include "collect/collection_calendar.h"

#include <QString>

#include <algorithm>
#include <functional>

namespace collect {

namespace {

QDate monthStart(QDate day)
{
    return QDate(day.year(), day.month(), 1);
}

// The texts of the days in the format, each once, newest first.
QList<QByteArray> distinctTexts(const QList<QDate>& days, const QString& format)
{
    QList<QByteArray> texts;
    for (const QDate& day : days)
        texts.append(day.toString(format).toLatin1());
    std::sort(texts.begin(), texts.end(), std::greater<>());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}

} // namespace

CollectionCalendar::CollectionCalendar(data::CollectionRecord record, QDate today)
    : record_(std::move(record)), today_(today)
{
}

const data::DayRead* CollectionCalendar::lastRead(QDate day) const
{
    const auto read = record_.lastDayReads.find(day);
    return read == record_.lastDayReads.end() ? nullptr : &read->second;
}

bool CollectionCalendar::listed(QDate day) const
{
    const auto month = record_.lastMonthReads.find(monthStart(day));
    return month != record_.lastMonthReads.end() && month->second.listedDays.contains(day);
}

DayState CollectionCalendar::state(QDate day) const
{
    if (day > today_)
        return DayState::NeverLooked;
    if (const data::DayRead* read = lastRead(day)) {
        if (read->end != data::DayReadEnd::Stored)
            return DayState::Gap;
        if (read->entries > 0)
            return DayState::Collected;
        return listed(day) ? DayState::Gap : DayState::NoSales;
    }
    if (record_.storedDays.contains(day))
        return DayState::Collected;
    if (listed(day))
        return DayState::Gap;
    const auto month = record_.lastMonthReads.find(monthStart(day));
    if (month != record_.lastMonthReads.end() && day < month->second.readAt.date())
        return DayState::NoSales;
    return DayState::NeverLooked;
}

QDate CollectionCalendar::firstMonth() const
{
    QDate first = today_;
    if (!record_.lastDayReads.empty())
        first = std::min(first, record_.lastDayReads.begin()->first);
    if (!record_.lastMonthReads.empty())
        first = std::min(first, record_.lastMonthReads.begin()->first);
    for (const QDate& day : record_.storedDays)
        first = std::min(first, day);
    return monthStart(first);
}

QList<QDate> CollectionCalendar::gaps() const
{
    QList<QDate> candidates;
    for (const auto& [day, read] : record_.lastDayReads)
        candidates.append(day);
    for (const auto& [month, read] : record_.lastMonthReads)
        candidates += QList<QDate>(read.listedDays.begin(), read.listedDays.end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    QList<QDate> gaps;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(gaps),
                 [this](const QDate& day) { return state(day) == DayState::Gap; });
    return gaps;
}

QList<QByteArray> isoDays(const QList<QDate>& days)
{
    QList<QByteArray> texts;
    for (const QDate& day : days)
        texts.append(day.toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
    return texts;
}

QList<QByteArray> monthsOf(const QList<QDate>& days)
{
    return distinctTexts(days, QStringLiteral("yyyy-MM"));
}

QList<QByteArray> daysOfMonthOf(const QList<QDate>& days)
{
    return distinctTexts(days, QStringLiteral("dd"));
}

} // namespace collect
