#pragma once

#include "tools/agency-sim/portfolio.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace agencysim {

// Faults for tests. A request matches a path entry when its address (path and query) contains it.
struct Faults
{
    std::vector<std::string> failPaths; // answered with 404: the page does not arrive
    std::vector<std::string> dropPaths; // headers and half the body, then the connection is closed
    std::vector<std::string> slowPaths; // answered after slowMs milliseconds
    int slowMs = 0;
    int expireAfter = 0; // when positive, the login expires after this many contributor pages
};

// The simulated agency: an HTTP server on 127.0.0.1 serving the portfolio as the contributor pages.
// Contributor pages need the session cookie (otherwise the login page answers); thumbnails do not.
// POST /login.mhtml logs in again: it sets the cookie and restarts the expiry count. /logout.mhtml only
// shows the login page: the session stays valid, since tests and the demo share one cookie file.
class AgencyServer
{
public:
    explicit AgencyServer(PortfolioOptions portfolio, Faults faults = {});
    ~AgencyServer(); // stops the server
    AgencyServer(const AgencyServer&) = delete;
    AgencyServer& operator=(const AgencyServer&) = delete;

    // Listens on 127.0.0.1:port (0: any free port) and serves from a thread of its own until stop().
    // Returns the port; std::runtime_error when it cannot listen. A server starts once.
    int start(int port = 0);
    void stop();

    // Waits until a request for a slow path has arrived and is being held; false when none has
    // within the time.
    bool waitForSlowRequest(std::chrono::milliseconds longest);

    int port() const;
    std::string baseUrl() const;                            // http://127.0.0.1:PORT
    std::string thumbnailUrl(std::int64_t pictureId) const; // the preview address the pages give
    const Portfolio& portfolio() const;

    static constexpr const char* SessionCookieName = "sid";
    std::string sessionId() const;    // the cookie's value, fixed by the seed
    std::string cookieHeader() const; // sid=VALUE, for a Cookie request header
    // A Netscape cookies.txt holding the session, for libcurl's cookie jar. std::runtime_error on failure.
    void writeCookieFile(const std::filesystem::path& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace agencysim
