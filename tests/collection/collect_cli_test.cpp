#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>

#include <sys/stat.h>

#include "collect/collection_calendar.h"
#include "data/collection_log.h"
#include "platform/ini_file.h"
#include "tests/collection/collection_fixture.h"
#include "tools/agency-sim/calendar.h"
#include "tools/agency-sim/pages.h"

using namespace collection_tests;
using agencysim::Day;

namespace {

const QByteArray Heading = "==========================";

// photoledger-collect run on the fixture's program directory, whose database the fixture lets go
// of while the program runs.
class CollectCli : public CollectionTest
{
protected:
    void SetUp() override
    {
        startAgency();
        configureProgramDir();
    }

    void start(const QStringList& arguments)
    {
        dm().IBDatabase1.close();
        process.start(QStringLiteral(COLLECT_CLI), QStringList{db.appDir()} + arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    // Waits for the program to end and takes the database back.
    int finish(int longestMs = 240'000)
    {
        EXPECT_TRUE(process.waitForFinished(longestMs)) << "still running after " << longestMs << " ms";
        output += process.readAllStandardOutput();
        dm().IBDatabase1.connect();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    int run(const QStringList& arguments)
    {
        start(arguments);
        return finish();
    }
    // Reads the output until it holds this many day headings.
    void waitForHeadings(qsizetype count)
    {
        while (output.count(Heading) < 2 * count && process.waitForReadyRead(240'000))
            output += process.readAllStandardOutput();
        ASSERT_GE(output.count(Heading), 2 * count) << output.constData();
    }
    QByteArray errors() { return process.readAllStandardError(); }

    std::vector<Day> saleDays(const char* month) { return portfolio().saleDays(*agencysim::parseIsoMonth(month)); }

    QProcess process;
    QByteArray output;
};

} // namespace

TEST_F(CollectCli, ASalesRunPrintsTheLogAndStoresTheDays)
{
    const std::vector<Day> days = saleDays("2008-04");
    const QByteArray first = isoDay(days[0]).mid(8, 2), second = isoDay(days[1]).mid(8, 2);
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04"), QStringLiteral("--days"),
                   QString::fromLatin1(first + ',' + second)}),
              0)
        << errors().constData();
    EXPECT_EQ(storedSales(days[0]), expectedSales(days[0]));
    EXPECT_EQ(storedSales(days[1]), expectedSales(days[1]));
    EXPECT_EQ(rowCount("SALES"), storedSales(days[0]).size() + storedSales(days[1]).size());
    EXPECT_TRUE(output.startsWith(QByteArray("\n" + Heading + " " + isoDay(days[0]) + " " + Heading + "\n\n"))) << output.constData();
    EXPECT_TRUE(output.endsWith(QStringLiteral(u"Обновлено!\n").toUtf8())) << output.constData();
}

TEST_F(CollectCli, WithoutDirACommandBesideNoDatabaseCollectsIntoTheUsersDirectory)
{
    QTemporaryDir elsewhere;
    const QString command = elsewhere.filePath(QStringLiteral("photoledger-collect"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(COLLECT_CLI), command));
    ASSERT_TRUE(QDir().mkpath(elsewhere.filePath(QStringLiteral("xdg"))));
    ASSERT_TRUE(QFile::link(db.appDir(), elsewhere.filePath(QStringLiteral("xdg/photoledger"))));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), elsewhere.filePath(QStringLiteral("xdg")));
    process.setProcessEnvironment(environment);

    const Day day = saleDays("2008-04")[0];
    dm().IBDatabase1.close();
    process.start(command, {QStringLiteral("sales"), QStringLiteral("2008-04"), QStringLiteral("--days"),
                            QString::fromLatin1(isoDay(day).mid(8, 2))});
    EXPECT_EQ(finish(), 0) << errors().constData();
    EXPECT_EQ(storedSales(day), expectedSales(day));
}

TEST_F(CollectCli, ABatchesRunStoresTheBatchesOfTheMonths)
{
    const agencysim::Batch& batch = portfolio().batches().front();
    const QString month = QString::fromStdString(agencysim::isoMonth(batch.date.year() / batch.date.month()));
    EXPECT_EQ(run({QStringLiteral("batches"), month}), 0) << errors().constData();
    EXPECT_EQ(rowCount("PICTURES where IDBATCH = " + QByteArray::number(qlonglong(batch.id))), batch.approved);
}

TEST_F(CollectCli, ALoginPromptIsPrintedAndAnsweredNo)
{
    configureProgramDir(false);
    EXPECT_EQ(run({QStringLiteral("batches"), QStringLiteral("2008-04")}), 2);
    EXPECT_TRUE(output.contains(QStringLiteral(u"Необходимо в браузере войти в свой аккаунт на фотобанке.").toUtf8()))
        << output.constData();
    EXPECT_FALSE(output.contains(QStringLiteral(u"Обновлено!").toUtf8()));
    EXPECT_EQ(rowCount("PICTURES"), 0);
}

TEST_F(CollectCli, AnErrorEndsWithItsMessageAndStatus1)
{
    agency().stop();
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04")}), 1);
    const QByteArray message = errors();
    EXPECT_TRUE(message.startsWith(QByteArray(QByteArray("photoledger-collect: ") +
                                              QStringLiteral(u"Страница не получена: ").toUtf8() +
                                              QByteArray::fromStdString(agency().baseUrl()) +
                                              "/stats.mhtml?year_month=2008-04")))
        << message.constData();
}

TEST_F(CollectCli, ACookieFileThatIsAFifoEndsWithStatus1NamingTheKey)
{
    ASSERT_TRUE(QFile::remove(cookieFile()));
    ASSERT_EQ(mkfifo(QFile::encodeName(cookieFile()).constData(), 0600), 0);
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04")}), 1);
    EXPECT_TRUE(QString::fromUtf8(errors()).contains(QStringLiteral("ключ CookieFile")));
    EXPECT_TRUE(output.isEmpty()) << output.constData();
}

TEST_F(CollectCli, WrongArgumentsAreAnErrorWithTheUsage)
{
    const QList<QStringList> cases = {
        {QStringLiteral("sales")},
        {QStringLiteral("sales"), QStringLiteral("2008-13")},
        {QStringLiteral("sales"), QStringLiteral("04.2008")},
        {QStringLiteral("report"), QStringLiteral("2008-04")},
        {QStringLiteral("batches"), QStringLiteral("2008-04"), QStringLiteral("--days"), QStringLiteral("01")},
        {QStringLiteral("sales"), QStringLiteral("2008-04"), QStringLiteral("--days"), QStringLiteral("1,32")},
        {QStringLiteral("sales"), QStringLiteral("2008-04"), QStringLiteral("--days")},
        {QStringLiteral("gaps"), QStringLiteral("2008-04")},
    };
    for (const QStringList& arguments : cases) {
        EXPECT_EQ(run(arguments), 1) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(errors().contains("usage: photoledger-collect [DIR] sales MONTH..."));
    }
    EXPECT_EQ(rowCount("PICTURES"), 0);
}

// A download that the agency holds is cut by a termination signal: the program ends long before the
// download's own timeout (60 s) with 128 + the signal's number and a message, and keeps the rows it
// stored before. SIGINT comes while the second day's page hangs, SIGTERM while the preview of a
// picture first sold on the second day hangs, amid that day's entries.
TEST_F(CollectCli, ATerminationSignalCutsAHangingDownloadAndKeepsTheStoredRows)
{
    const std::vector<Day> days = saleDays("2008-04");
    const std::vector<agencysim::DaySale> day1 = portfolio().expectedSales(days[0]);
    std::int64_t firstSoldOnDay2 = 0;
    for (const agencysim::DaySale& sale : portfolio().expectedSales(days[1]))
        if (std::none_of(day1.begin(), day1.end(),
                         [&](const auto& s) { return s.pictureId == sale.pictureId; }))
            firstSoldOnDay2 = sale.pictureId;
    ASSERT_NE(firstSoldOnDay2, 0);

    struct Case
    {
        int signal;
        std::string hangingPath;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {SIGINT, "/stats_date.mhtml?date=" + isoDay(days[1]).toStdString(), 130, "прервано сигналом SIGINT"},
        {SIGTERM, agencysim::thumbnailPath(firstSoldOnDay2), 143, "прервано сигналом SIGTERM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hangingPath);
        startAgency(hanging(c.hangingPath));
        configureProgramDir();
        output.clear();
        start({QStringLiteral("sales"), QStringLiteral("2008-04")});
        while (!agency().waitForSlowRequest(std::chrono::milliseconds(100)))
            ASSERT_EQ(process.state(), QProcess::Running) << errors().constData();
        ::kill(pid_t(process.processId()), c.signal);
        EXPECT_EQ(finish(20'000), c.status);
        EXPECT_TRUE(QString::fromUtf8(errors()).contains(QString::fromUtf8(c.message)));
        EXPECT_FALSE(output.contains(QStringLiteral(u"Обновлено!").toUtf8()));
        EXPECT_EQ(storedSales(days[0]), expectedSales(days[0]));
        EXPECT_EQ(rowCount("SALES where IDPICTURE = " + QByteArray::number(qlonglong(firstSoldOnDay2))), 0);
        EXPECT_EQ(rowCount("SALES where SALE_DATE > '" + dottedDay(days[1]) + "'"), 0)
            << "no later day is stored";
        agency().stop();
        db.execute("delete from SALES");
    }
}

TEST_F(CollectCli, KillingTheProgramKeepsEveryCommittedRow)
{
    const std::vector<Day> days = saleDays("2008-04");
    start({QStringLiteral("sales"), QStringLiteral("2008-04")});
    waitForHeadings(3);
    ::kill(pid_t(process.processId()), SIGKILL);
    finish();
    EXPECT_EQ(storedSales(days[0]), expectedSales(days[0]));
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04")}), 0);
    for (const Day& day : days)
        EXPECT_EQ(storedSales(day), expectedSales(day)) << agencysim::isoDate(day);
}

// The program keeps the database open with its list read in a running transaction while a scheduled
// run collects; the list shows the new rows at its next refresh, which commits and reads again.
TEST_F(CollectCli, RunsWhileTheProgramHoldsTheDatabaseAndTheNextRefreshShowsTheRows)
{
    const Day day = saleDays("2008-04")[0];
    data::Query& list = dm().qrPictureInfo;
    list.setText("select count(*) from SALES_INFO(-1, '01.04.2008', '30.04.2008') where COUNT_SALES <> 0");
    list.open();
    ASSERT_EQ(list.field(0).asInt64(), 0);

    process.start(QStringLiteral(COLLECT_CLI), {db.appDir(), QStringLiteral("sales"), QStringLiteral("2008-04"),
                                                QStringLiteral("--days"), QString::fromLatin1(isoDay(day).mid(8, 2))});
    ASSERT_TRUE(process.waitForFinished(240'000));
    EXPECT_EQ(process.exitCode(), 0) << errors().constData();
    EXPECT_EQ(list.field(0).asInt64(), 0) << "the open list keeps what it read";

    dm().Transaction.commit();
    list.open();
    EXPECT_EQ(list.field(0).asInt64(), rowCount("SALES"));
    EXPECT_EQ(storedSales(day), expectedSales(day));
}

namespace {

QDate dateOf(const Day& day)
{
    return QDate::fromString(QString::fromLatin1(isoDay(day)), QStringLiteral("yyyy-MM-dd"));
}

} // namespace

// A day page that does not arrive ends the run on that day, the last one of its month: the calendar shows
// that day alone as a gap, the other listed days collected with the log's figures of their pages, the
// month's other days without sales and the month before never looked at. "gaps" then reads that day only.
TEST_F(CollectCli, AFailedDayPageIsTheOnlyGapAndTheGapsRunCollectsIt)
{
    const std::vector<Day> days = saleDays("2008-04");
    const Day failed = days.back();
    startAgency(failing("date=" + agencysim::isoDate(failed)));
    configureProgramDir();
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04")}), 1);

    const auto calendar = [this] {
        return collect::CollectionCalendar(data::readCollectionRecord(dm().IBDatabase1),
                                           QDate::currentDate());
    };
    const collect::CollectionCalendar afterFailure = calendar();
    EXPECT_EQ(afterFailure.gaps(), QList<QDate>{dateOf(failed)});
    EXPECT_EQ(afterFailure.state(QDate(2008, 3, 31)), collect::DayState::NeverLooked);
    EXPECT_EQ(afterFailure.firstMonth(), QDate(2008, 4, 1));
    for (const Day& day : days) {
        if (day == failed)
            continue;
        EXPECT_EQ(afterFailure.state(dateOf(day)), collect::DayState::Collected) << agencysim::isoDate(day);
        const data::DayRead* read = afterFailure.lastRead(dateOf(day));
        ASSERT_NE(read, nullptr);
        const std::vector<agencysim::SaleEntry> entries = portfolio().dayEntries(day);
        int downloads = 0, cents = 0;
        for (const agencysim::SaleEntry& entry : entries) {
            downloads += entry.count;
            cents += entry.cents;
        }
        EXPECT_EQ(read->entries, int(entries.size())) << agencysim::isoDate(day);
        EXPECT_EQ(read->downloads, downloads) << agencysim::isoDate(day);
        EXPECT_DOUBLE_EQ(read->earnings, cents / 100.0) << agencysim::isoDate(day);
    }
    for (QDate date(2008, 4, 1); date.month() == 4; date = date.addDays(1)) {
        if (std::none_of(days.begin(), days.end(), [&](const Day& day) { return dateOf(day) == date; })) {
            EXPECT_EQ(afterFailure.state(date), collect::DayState::NoSales) << date.toString().toStdString();
        }
    }
    const data::DayRead* failedRead = afterFailure.lastRead(dateOf(failed));
    ASSERT_NE(failedRead, nullptr);
    EXPECT_EQ(failedRead->end, data::DayReadEnd::Failed);
    EXPECT_TRUE(failedRead->message.contains(QByteArray("stats_date.mhtml?date=" + isoDay(failed))))
        << failedRead->message.constData();

    startAgency();
    configureProgramDir();
    output.clear();
    EXPECT_EQ(run({QStringLiteral("gaps")}), 0) << errors().constData();
    EXPECT_EQ(output.count(Heading), 2) << output.constData();
    EXPECT_TRUE(output.contains(isoDay(failed))) << output.constData();
    for (const Day& day : days)
        EXPECT_EQ(storedSales(day), expectedSales(day)) << agencysim::isoDate(day);
    EXPECT_TRUE(calendar().gaps().isEmpty());
    EXPECT_EQ(calendar().state(dateOf(failed)), collect::DayState::Collected);

    output.clear();
    EXPECT_EQ(run({QStringLiteral("gaps")}), 0) << errors().constData();
    EXPECT_EQ(output, QStringLiteral(u"Пробелов нет\n").toUtf8());
}

// With [Notify] Failures=1 a failed run sends its notice to the notification service of the session
// bus: here a bus of the test's own, whose monitor sees the call (no service answers it).
TEST_F(CollectCli, AFailedRunNotifiesTheDesktopWhenAskedTo)
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    while (!bus.canReadLine() && bus.waitForReadyRead(30'000)) {
    }
    const QString address = QString::fromLatin1(bus.readLine().trimmed());
    ASSERT_FALSE(address.isEmpty()) << "dbus-daemon did not start";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    QProcess monitor;
    monitor.setProcessEnvironment(environment);
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--session"), QStringLiteral("interface='org.freedesktop.Notifications'")});
    QByteArray seen;
    const auto watchFor = [&](const QByteArray& text) {
        while (!seen.contains(text) && monitor.waitForReadyRead(30'000))
            seen += monitor.readAllStandardOutput();
        return seen.contains(text);
    };
    ASSERT_TRUE(watchFor("member=NameLost")) << "the monitor did not start: " << seen.constData();

    platform::IniFile conf(db.appDir() + QStringLiteral("/conf.ini"));
    conf.setValue("Notify", "Failures", "1");
    conf.save();
    agency().stop();
    process.setProcessEnvironment(environment);
    EXPECT_EQ(run({QStringLiteral("sales"), QStringLiteral("2008-04")}), 1);
    EXPECT_TRUE(watchFor("member=Notify")) << seen.constData();
    EXPECT_TRUE(watchFor(QStringLiteral(u"string \"Сбор статистики не удался\"").toUtf8()))
        << seen.constData();
    monitor.kill();
    monitor.waitForFinished();
    bus.kill();
    bus.waitForFinished();
}
