#include "collect/run_notices.h"

#include "data/connection.h"
#include "data/database_location.h"
#include "data/dataset.h"
#include "data/dm.h"
#include "platform/ini_file.h"

namespace collect {

namespace {

const QByteArray Section = "Notify";

bool switchedOn(const platform::IniFile& file, const QByteArray& key)
{
    return file.value(Section, key).trimmed() == "1";
}

QString money(std::int64_t cents)
{
    return QStringLiteral("%1,%2 $").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

QString dayText(QDate day)
{
    return day.toString(QStringLiteral("dd.MM.yyyy"));
}

std::optional<Notice> failureNotice(RunOutcome outcome, const QString& error)
{
    if (outcome == RunOutcome::Failed)
        return Notice{QStringLiteral(u"Сбор статистики не удался"), error};
    if (outcome == RunOutcome::LoginExpired)
        return Notice{QStringLiteral(u"Сбор статистики: нужен вход"),
                      QStringLiteral(u"Войдите на сайт фотобанка в Firefox заново; следующий сбор "
                                     u"дополнит пропущенные дни.")};
    return std::nullopt;
}

} // namespace

NoticeChoice readNoticeChoice(const QString& appDir)
{
    const platform::IniFile file(appDir + QStringLiteral("/conf.ini"));
    return {switchedOn(file, "Failures"), switchedOn(file, "BestDay")};
}

std::optional<DayEarnings> bestDay(const QString& programDir)
{
    data::Connection connection;
    data::setToolLocation(connection, programDir);
    data::Query query(connection, connection.defaultTransaction());
    query.setText(
        "select first 1 SALE_DATE, cast((SUM_SALES + SUM_ON_DEMAND + SUM_ENHANCED) * 100 as bigint) "
        "from SALES_BY_DAY order by 2 desc, 1");
    query.open();
    if (query.eof())
        return std::nullopt;
    return DayEarnings{query.field(0).asDate(), query.field(1).asInt64()};
}

QList<Notice> runNotices(const NoticeChoice& choice, RunOutcome outcome, const QString& error,
                         const std::optional<DayEarnings>& bestBefore,
                         const std::optional<DayEarnings>& bestAfter)
{
    QList<Notice> notices;
    if (choice.failures)
        if (std::optional<Notice> failure = failureNotice(outcome, error))
            notices.append(*failure);
    if (choice.bestDay && bestBefore && bestAfter && bestAfter->cents > bestBefore->cents)
        notices.append({QStringLiteral(u"Лучший день: %1").arg(money(bestAfter->cents)),
                        QStringLiteral(u"%1 принёс %2, больше прежнего лучшего дня %3 (%4).")
                            .arg(dayText(bestAfter->day), money(bestAfter->cents), dayText(bestBefore->day),
                                 money(bestBefore->cents))});
    return notices;
}

} // namespace collect
