// A second process on a test's database, through the data module as the program and the collector use
// it. Prints one line when each step is done; an error goes to standard error with exit status 1.
//
//   database_worker store APPDIR FIRST_PICTURE PICTURES FIRST_DAY DAYS
//       stores a regular sale for each of the pictures on each day (yyyy-mm-dd), committing and
//       printing "stored yyyy-mm-dd" after every day; the count is picture + day of month.
//   database_worker accept APPDIR FIRST_PICTURE PICTURES ROUNDS
//       prints "accepting", then sets the acceptance date of each of the pictures that exist,
//       alternately in March and in February 2010 round after round, printing "accepted N" after
//       round N.
//   database_worker read APPDIR
//       reads SALES_INFO, DIAGRAM and GRAPH in one transaction and prints what it read; reads them
//       again in the same transaction for every line of standard input, and ends when it closes.

#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <iostream>
#include <string>

#include "data/dm.h"

namespace {

int store(data::Tdm& dm, const QStringList& arguments)
{
    const qint64 firstPicture = arguments[3].toLongLong();
    const int pictures = arguments[4].toInt();
    const QDate firstDay = QDate::fromString(arguments[5], Qt::ISODate);
    const int days = arguments[6].toInt();
    for (QDate day = firstDay; day < firstDay.addDays(days); day = day.addDays(1)) {
        const QByteArray date = day.toString(Qt::ISODate).toLatin1();
        for (qint64 picture = firstPicture; picture < firstPicture + pictures; ++picture)
            dm.StoreSale(QByteArray::number(picture), "t", QByteArray::number(picture + day.day()), "0.25", date, 0);
        dm.Transaction.commitIfActive();
        std::printf("stored %s\n", date.constData());
        std::fflush(stdout);
    }
    return 0;
}

int accept(data::Tdm& dm, const QStringList& arguments)
{
    const qint64 firstPicture = arguments[3].toLongLong();
    const int pictures = arguments[4].toInt();
    const int rounds = arguments[5].toInt();
    std::printf("accepting\n");
    std::fflush(stdout);
    for (int round = 1; round <= rounds; ++round) {
        const QByteArray date = round % 2 ? "15.03.2010" : "15.02.2010";
        for (qint64 picture = firstPicture; picture < firstPicture + pictures; ++picture)
            dm.UpdatePicture(QByteArray::number(picture), "t", date, "", "");
        std::printf("accepted %d\n", round);
        std::fflush(stdout);
    }
    return 0;
}

// One line of what the reading statements give: the list's rows and downloads, the best seller's
// chart text and the portfolio chart's days and downloads.
QByteArray readEverything(data::Tdm& dm)
{
    QByteArray line;
    for (const char* sql : {"select count(*), sum(COUNT_SALES) from SALES_INFO(-1, '01.01.2000', '31.12.2030')",
                            "select first 1 D.\"DIAGRAM\" from SALES_BY_PICTURE P cross join DIAGRAM(P.IDPICTURE, "
                            "'01.01.2000', '31.12.2030') D order by P.COUNT_SALES desc, P.IDPICTURE",
                            "select count(*), sum(COUNT_SALES) from GRAPH"}) {
        dm.qrExecute.setText(sql);
        for (dm.qrExecute.open(); !dm.qrExecute.eof(); dm.qrExecute.next())
            for (int column = 0; column < static_cast<int>(dm.qrExecute.columns().size()); ++column)
                line += dm.qrExecute.field(column).asText() + ' ';
    }
    return line;
}

int read(data::Tdm& dm)
{
    std::printf("read %s\n", readEverything(dm).constData());
    std::fflush(stdout);
    for (std::string request; std::getline(std::cin, request);) {
        std::printf("read %s\n", readEverything(dm).constData());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    try {
        if (arguments.size() < 3)
            throw data::DbError("usage: database_worker store|accept|read APPDIR ...");
        data::Tdm dm(arguments[2]);
        dm.DataModuleCreate();
        if (arguments[1] == QLatin1String("store") && arguments.size() == 7)
            return store(dm, arguments);
        if (arguments[1] == QLatin1String("accept") && arguments.size() == 6)
            return accept(dm, arguments);
        if (arguments[1] == QLatin1String("read"))
            return read(dm);
        throw data::DbError("unknown request");
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
