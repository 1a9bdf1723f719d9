#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>
#include <memory>
#include <vector>

#include "collect/page_fetcher.h"
#include "tests/support/temp_database.h"
#include "tools/agency-sim/server.h"

namespace collection_tests {

// A small portfolio: sales from February to May 2008.
agencysim::PortfolioOptions smallPortfolio();

// Faults of an agency: pages that do not arrive; addresses that are never answered while the agency
// runs (stopping it lets them through); a login that expires after so many pages.
agencysim::Faults failing(std::string path);
agencysim::Faults hanging(std::string path);
agencysim::Faults expiring(int afterPages);

// The day as the pages and the collectors write it (yyyy-mm-dd), and as dates are stored.
QByteArray isoDay(agencysim::Day day);
QByteArray dottedDay(agencysim::Day day);

// A program directory with its own database (the fixture's) and simulated agencies on 127.0.0.1.
class CollectionTest : public test_support::DatabaseTest
{
protected:
    // Starts another agency over the same portfolio (with these faults) and makes it the one that
    // fetcher() and conf.ini address.
    agencysim::AgencyServer& startAgency(agencysim::Faults faults = {},
                                         agencysim::PortfolioOptions portfolio = smallPortfolio());
    agencysim::AgencyServer& agency() { return *agencies_.back(); }
    const agencysim::Portfolio& portfolio() { return agency().portfolio(); }

    // A fetcher for the current agency with the login cookies and these timeouts.
    collect::PageFetcher fetcher(std::chrono::milliseconds totalTimeout = std::chrono::seconds(20)) const;
    // Writes conf.ini's section Agency for the current agency and a cookie file with its login (an
    // empty one when loggedIn is false), as the program reads them.
    void configureProgramDir(bool loggedIn = true);

    // The SALES rows of a day, and what they must hold after the day was collected: picture id,
    // count and the three earnings in cents (empty for none), in picture id order.
    QList<QByteArray> storedSales(agencysim::Day day);
    QList<QByteArray> expectedSales(agencysim::Day day);
    int rowCount(const QByteArray& table);

    QString cookieFile() const;

private:
    std::vector<std::unique_ptr<agencysim::AgencyServer>> agencies_;
};

} // namespace collection_tests
