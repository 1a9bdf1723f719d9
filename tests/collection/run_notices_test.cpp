// The notices after a run without a window: which the user gets, and the best day they compare.

#include <gtest/gtest.h>

#include <QFile>

#include "collect/run_notices.h"
#include "tests/support/firebird_server.h"
#include "tests/support/temp_database.h"

using collect::DayEarnings;
using collect::Notice;
using collect::NoticeChoice;
using collect::RunOutcome;

namespace {

const DayEarnings March3{QDate(2008, 3, 3), 1250};
const DayEarnings April2{QDate(2008, 4, 2), 1375};
const Notice FailedNotice{QStringLiteral(u"Сбор статистики не удался"),
                          QStringLiteral(u"Страница не получена")};
const Notice LoginNotice{
    QStringLiteral(u"Сбор статистики: нужен вход"),
    QStringLiteral(u"Войдите на сайт фотобанка в Firefox заново; следующий сбор дополнит "
                   u"пропущенные дни.")};
const Notice BestDayNotice{
    QStringLiteral(u"Лучший день: 13,75 $"),
    QStringLiteral(u"02.04.2008 принёс 13,75 $, больше прежнего лучшего дня 03.03.2008 "
                   u"(12,50 $).")};

TEST(RunNotices, EachOutcomeGivesTheNoticesTheUserAskedFor)
{
    const NoticeChoice all{true, true}, failuresOnly{true, false}, bestDayOnly{false, true}, none{};
    struct Case
    {
        const char* name;
        NoticeChoice choice;
        RunOutcome outcome;
        std::optional<DayEarnings> before, after;
        QList<Notice> expected;
    };
    const Case cases[] = {
        {"collected, nothing new", all, RunOutcome::Collected, March3, March3, {}},
        {"collected, a new best day", all, RunOutcome::Collected, March3, April2, {BestDayNotice}},
        {"a new best day, not asked for", failuresOnly, RunOutcome::Collected, March3, April2, {}},
        {"the first days ever stored beat nothing", all, RunOutcome::Collected, std::nullopt, April2, {}},
        {"an equal day is no new best", all, RunOutcome::Collected, April2, {{QDate(2008, 4, 9), 1375}}, {}},
        {"failed", all, RunOutcome::Failed, March3, March3, {FailedNotice}},
        {"failed after storing a new best day",
         all,
         RunOutcome::Failed,
         March3,
         April2,
         {FailedNotice, BestDayNotice}},
        {"failed, failures not asked for", bestDayOnly, RunOutcome::Failed, March3, March3, {}},
        {"login expired", failuresOnly, RunOutcome::LoginExpired, March3, March3, {LoginNotice}},
        {"stopped by a signal", all, RunOutcome::Stopped, March3, March3, {}},
        {"nothing asked for", none, RunOutcome::Failed, March3, April2, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(collect::runNotices(c.choice, c.outcome, QStringLiteral(u"Страница не получена"), c.before,
                                      c.after),
                  c.expected)
            << c.name;
}

TEST(RunNotices, TheChoiceAndTheBestDayComeFromTheProgramDirectory)
{
    test_support::TempDatabase db;
    EXPECT_EQ(collect::bestDay(db.appDir()), std::nullopt);
    db.execute("insert into PICTURES (ID) values (1)");
    db.execute("insert into PICTURES (ID) values (2)");
    db.execute("insert into SALES (ID, IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\", ON_DEMAND) "
               "values (1, 1, '03.03.2008', 2, 0.50, 12.00)");
    db.execute("insert into SALES (ID, IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\") values (2, 2, '03.03.2008', "
               "1, 0.25)");
    db.execute("insert into SALES (ID, IDPICTURE, SALE_DATE, \"COUNT\", ENHANCED) values (3, 1, "
               "'02.04.2008', 1, 3.00)");
    EXPECT_EQ(collect::bestDay(db.appDir()), (DayEarnings{QDate(2008, 3, 3), 1275}));

    QFile conf(db.appDir() + QStringLiteral("/conf.ini"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[Notify]\nFailures=1\nBestDay=0\n");
    conf.close();
    const NoticeChoice choice = collect::readNoticeChoice(db.appDir());
    EXPECT_TRUE(choice.failures);
    EXPECT_FALSE(choice.bestDay);

    // A database on a server, as the collector opens it: with the password of ISC_PASSWORD.
    db.useServer(test_support::FirebirdServer::shared());
    db.execute("insert into PICTURES (ID) values (3)");
    db.execute("insert into SALES (ID, IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\") values (4, 3, '05.05.2009', "
               "1, 0.75)");
    qputenv("ISC_PASSWORD", test_support::FirebirdServer::Password);
    EXPECT_EQ(collect::bestDay(db.appDir()), (DayEarnings{QDate(2009, 5, 5), 75}));
    qunsetenv("ISC_PASSWORD");
}

} // namespace
