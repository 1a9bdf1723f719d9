#include "tests/collection/collection_fixture.h"

#include <QFile>

#include "collect/agency_site.h"
#include "tools/agency-sim/calendar.h"

namespace collection_tests {

namespace {

QByteArray cents(const std::optional<int>& value)
{
    return value ? QByteArray::number(*value) : QByteArray();
}

} // namespace

agencysim::PortfolioOptions smallPortfolio()
{
    agencysim::PortfolioOptions options;
    options.seed = 7;
    options.pictures = 40;
    options.from = std::chrono::year(2008) / std::chrono::February;
    options.till = std::chrono::year(2008) / std::chrono::May;
    return options;
}

agencysim::Faults failing(std::string path)
{
    agencysim::Faults faults;
    faults.failPaths = {std::move(path)};
    return faults;
}

agencysim::Faults hanging(std::string path)
{
    agencysim::Faults faults;
    faults.slowPaths = {std::move(path)};
    faults.slowMs = 600'000; // longer than any test; stop() ends the wait
    return faults;
}

agencysim::Faults expiring(int afterPages)
{
    agencysim::Faults faults;
    faults.expireAfter = afterPages;
    return faults;
}

QByteArray isoDay(agencysim::Day day)
{
    return QByteArray::fromStdString(agencysim::isoDate(day));
}

QByteArray dottedDay(agencysim::Day day)
{
    return QByteArray::fromStdString(agencysim::dottedDate(day));
}

agencysim::AgencyServer& CollectionTest::startAgency(agencysim::Faults faults, agencysim::PortfolioOptions portfolio)
{
    agencies_.push_back(std::make_unique<agencysim::AgencyServer>(portfolio, std::move(faults)));
    agencies_.back()->start();
    agencies_.back()->writeCookieFile(cookieFile().toStdString());
    return *agencies_.back();
}

QString CollectionTest::cookieFile() const
{
    return db.appDir() + QStringLiteral("/cookies.txt");
}

collect::PageFetcher CollectionTest::fetcher(std::chrono::milliseconds totalTimeout) const
{
    const QByteArray base = QByteArray::fromStdString(agencies_.back()->baseUrl());
    platform::DownloadOptions options;
    options.cookieFile = cookieFile();
    options.connectTimeout = std::chrono::seconds(5);
    options.totalTimeout = totalTimeout;
    return collect::PageFetcher(db.appDir(), collect::AgencySite(base, base, cookieFile()), options);
}

void CollectionTest::configureProgramDir(bool loggedIn)
{
    if (!loggedIn)
        QFile(cookieFile()).open(QIODevice::WriteOnly | QIODevice::Truncate);
    QFile conf(db.appDir() + QStringLiteral("/conf.ini"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray base = QByteArray::fromStdString(agency().baseUrl());
    conf.write("[Agency]\nContributorSite=" + base + "\nPublicSite=" + base + "\nCookieFile=cookies.txt\n");
}

QList<QByteArray> CollectionTest::storedSales(agencysim::Day day)
{
    QList<QByteArray> sales;
    for (const QByteArrayList& row :
         db.rows("select IDPICTURE, \"COUNT\", cast(\"SUM\" * 100 as integer), cast(ON_DEMAND * 100 as integer), "
                 "cast(ENHANCED * 100 as integer) from SALES where SALE_DATE = '" + dottedDay(day) +
                 "' order by IDPICTURE"))
        sales.append(row.join(' '));
    return sales;
}

QList<QByteArray> CollectionTest::expectedSales(agencysim::Day day)
{
    QList<QByteArray> sales;
    for (const agencysim::DaySale& sale : portfolio().expectedSales(day))
        sales.append(QByteArray::number(qlonglong(sale.pictureId)) + ' ' + QByteArray::number(sale.count) + ' ' +
                     cents(sale.regularCents) + ' ' + cents(sale.onDemandCents) + ' ' + cents(sale.enhancedCents));
    return sales;
}

int CollectionTest::rowCount(const QByteArray& table)
{
    return db.rows("select count(*) from " + table).front().front().toInt();
}

} // namespace collection_tests
