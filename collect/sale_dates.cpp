#include "collect/sale_dates.h"

#include "collect/page_lines.h"
#include "collect/page_text.h"
#include "platform/ascii_text.h"

namespace collect {
namespace {

constexpr QByteArrayView DayMarker = "stats_date.mhtml?date=";
constexpr qsizetype DayLength = 10;

// The text between the end of the first "<td>" and the start of the first "</td>".
QByteArrayView countText(QByteArrayView line)
{
    const qsizetype open = platform::indexOfIgnoreAsciiCase(line, "<td>");
    const qsizetype close = platform::indexOfIgnoreAsciiCase(line, "</td>");
    if (open < 0 || close < open + 4)
        return {};
    return line.sliced(open + 4, close - open - 4);
}

bool isDay(QByteArrayView text)
{
    if (text.size() != DayLength)
        return false;
    for (qsizetype i = 0; i < DayLength; ++i) {
        const bool hyphenPlace = i == 4 || i == 7;
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (hyphenPlace ? text[i] != '-' : !digit)
            return false;
    }
    return true;
}

// The day written after the marker; it becomes part of addresses and statements, so only
// yyyy-mm-dd is accepted.
QByteArray dayAfterMarker(const QByteArray& line, qsizetype marker)
{
    const QByteArray day = line.mid(marker + DayMarker.size(), DayLength);
    if (!isDay(day))
        throw PageError("Страница месяца содержит неверную дату \"" + day.toStdString() + "\"");
    return day;
}

} // namespace

QList<QByteArray> saleDatesOf(const QList<QByteArray>& rawLines)
{
    QList<QByteArray> days;
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        const qsizetype marker = rawLines[i].indexOf(DayMarker);
        if (marker < 0)
            continue;
        if (i + 1 == rawLines.size())
            throw PageError("Страница месяца оборвана: за ссылкой на день нет строки с числом скачиваний");
        const QByteArrayView count = platform::trimmedControl(countText(rawLines[i + 1]));
        if (wholeNumberOr(count, 0) > 0)
            days.append(dayAfterMarker(rawLines[i], marker));
    }
    return days;
}

} // namespace collect
