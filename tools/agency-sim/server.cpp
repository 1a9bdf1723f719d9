#include "tools/agency-sim/server.h"

#include "tools/agency-sim/decimal.h"
#include "tools/agency-sim/pages.h"
#include "tools/agency-sim/random.h"
#include "tools/agency-sim/thumbnail.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>

namespace agencysim {

namespace {

constexpr std::uint64_t SessionStream = 0x73657373696f6e;
constexpr const char* Host = "127.0.0.1";
constexpr const char* HtmlType = "text/html; charset=windows-1251";
constexpr const char* CookieExpiry = "4102444800"; // 2100-01-01: the session outlives any test or demo

bool matchesAny(const std::vector<std::string>& pieces, const std::string& address)
{
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const std::string& piece) { return address.find(piece) != std::string::npos; });
}

// An id or a page number from an address: a decimal number that fits an int64; nothing otherwise.
std::optional<std::int64_t> decimal(const std::string& text)
{
    auto value = parseDecimal(text);
    if (!value || *value > static_cast<std::uint64_t>(INT64_MAX))
        return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool cookieHeaderHolds(const std::string& header, const std::string& cookie)
{
    std::string_view rest = header;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        if (trimmed(rest.substr(0, end)) == cookie)
            return true;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return false;
}

// Sends the headers and the first half of the body, then gives up: the client sees the connection close
// before the promised length has arrived.
void cutShort(httplib::Response& res)
{
    auto body = std::make_shared<std::string>(std::move(res.body));
    res.body.clear();
    const std::string type = res.get_header_value("Content-Type");
    res.headers.erase("Content-Type"); // the content provider sets it again
    res.set_content_provider(body->size(), type, [body](std::size_t, std::size_t, httplib::DataSink& sink) {
        sink.write(body->data(), body->size() / 2);
        return false;
    });
}

} // namespace

struct AgencyServer::Impl
{
    Impl(PortfolioOptions options, Faults faults)
        : portfolio(options), faults(std::move(faults)),
          session(std::to_string(hashOf({options.seed, SessionStream})))
    {
        const auto handler = [this](const httplib::Request& req, httplib::Response& res) {
            answer(req, res);
        };
        server.Get(".*", handler);
        server.Post(".*", handler);
        // SO_REUSEADDR only: the library's default adds SO_REUSEPORT, which would let a second simulator
        // share a busy port instead of failing to start.
        server.set_socket_options([](int socket) {
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        // One request per connection and a short wait for it: stop() waits for every open connection, and
        // an idle kept-alive one would hold it up for the whole keep-alive time.
        server.set_keep_alive_max_count(1);
        server.set_keep_alive_timeout(1);
        server.set_exception_handler(
            [](const httplib::Request&, httplib::Response& res, std::exception_ptr) { res.status = 500; });
    }

    void answer(const httplib::Request& req, httplib::Response& res);
    void route(const httplib::Request& req, httplib::Response& res);
    void contributorPage(const httplib::Request& req, httplib::Response& res);
    void thumbnail(const std::string& path, httplib::Response& res) const;
    void logIn(httplib::Response& res);
    bool loggedIn(const httplib::Request& req);
    void pause();
    void sendPage(httplib::Response& res, std::string page) const
    {
        res.body = std::move(page); // set_content would copy a page of a megabyte
        res.set_header("Content-Type", HtmlType);
    }
    void notFound(httplib::Response& res) const;

    Portfolio portfolio;
    Faults faults;
    std::string session;
    std::unique_ptr<PageWriter> pages;
    httplib::Server server;
    std::thread thread;
    std::atomic<bool> listenEnded{false};
    int port = 0;
    std::atomic<int> pagesSinceLogin{0};

    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopping = false;
    int paused = 0; // requests that have reached the pause of a slow path
    std::condition_variable pausedSignal;
};

void AgencyServer::Impl::answer(const httplib::Request& req, httplib::Response& res)
{
    if (matchesAny(faults.failPaths, req.target))
        return notFound(res);
    if (matchesAny(faults.slowPaths, req.target))
        pause();
    route(req, res);
    if (matchesAny(faults.dropPaths, req.target))
        cutShort(res);
}

void AgencyServer::Impl::route(const httplib::Request& req, httplib::Response& res)
{
    if (req.path == "/login.mhtml" && req.method == "POST")
        return logIn(res);
    if (req.path == "/login.mhtml" || req.path == "/logout.mhtml")
        return sendPage(res, pages->loginPage());
    if (req.path.rfind("/thumbs/", 0) == 0)
        return thumbnail(req.path, res);
    if (req.path == "/")
        return res.set_redirect("/main.mhtml");
    if (!loggedIn(req))
        return sendPage(res, pages->loginPage());
    contributorPage(req, res);
}

void AgencyServer::Impl::contributorPage(const httplib::Request& req, httplib::Response& res)
{
    const auto param = [&](const char* name) { return req.get_param_value(name); };
    if (req.path == "/main.mhtml")
        return sendPage(res, pages->startPage());
    if (req.path == "/stats.mhtml" && !req.has_param("year_month"))
        return sendPage(res, pages->monthPage(portfolio.options().till));
    if (req.path == "/stats.mhtml") {
        if (auto month = parseIsoMonth(param("year_month")))
            return sendPage(res, pages->monthPage(*month));
    }
    if (req.path == "/stats_date.mhtml") {
        if (auto day = parseIsoDate(param("date")))
            return sendPage(res, pages->dayPage(*day));
    }
    const bool approvedPhotos = param("approved") == "1" && param("type") == "photos";
    if (req.path == "/review.mhtml" && approvedPhotos)
        return sendPage(res, pages->approvedBatchesPage());
    if (req.path == "/review_batch.mhtml" && approvedPhotos) {
        auto id = decimal(param("id"));
        auto page = req.has_param("pg") ? decimal(param("pg")) : std::optional<std::int64_t>(1);
        const Batch* batch = id ? portfolio.batchById(*id) : nullptr;
        if (batch && page && *page >= 1 && *page <= 1000)
            return sendPage(res, pages->batchPage(*batch, static_cast<int>(*page)));
    }
    notFound(res);
}

void AgencyServer::Impl::thumbnail(const std::string& path, httplib::Response& res) const
{
    constexpr std::string_view prefix = "/thumbs/", suffix = ".jpg";
    const bool shaped = path.size() > prefix.size() + suffix.size() && path.ends_with(suffix);
    auto id = shaped ? decimal(path.substr(prefix.size(), path.size() - prefix.size() - suffix.size()))
                     : std::nullopt;
    if (!id || !portfolio.pictureById(*id))
        return notFound(res);
    res.set_content(thumbnailJpeg(portfolio.options().seed, *id), "image/jpeg");
}

void AgencyServer::Impl::logIn(httplib::Response& res)
{
    pagesSinceLogin = 0;
    res.set_header("Set-Cookie", std::string(SessionCookieName) + "=" + session + "; Path=/");
    res.set_redirect("/main.mhtml");
}

// A valid session cookie counts the page against the expiry; an expired login answers as a missing one.
bool AgencyServer::Impl::loggedIn(const httplib::Request& req)
{
    const std::string cookie = std::string(SessionCookieName) + "=" + session;
    bool holds = false;
    for (std::size_t i = 0; i < req.get_header_value_count("Cookie"); ++i)
        holds = holds || cookieHeaderHolds(req.get_header_value("Cookie", i), cookie);
    if (!holds)
        return false;
    const int served = ++pagesSinceLogin;
    return faults.expireAfter <= 0 || served <= faults.expireAfter;
}

// Waits the slow page's delay, or less when the server is being stopped.
void AgencyServer::Impl::pause()
{
    std::unique_lock lock(stopMutex);
    ++paused;
    pausedSignal.notify_all();
    stopSignal.wait_for(lock, std::chrono::milliseconds(faults.slowMs), [this] { return stopping; });
}

void AgencyServer::Impl::notFound(httplib::Response& res) const
{
    res.status = 404;
    sendPage(res, pages->notFoundPage());
}

AgencyServer::AgencyServer(PortfolioOptions portfolio, Faults faults)
    : impl_(std::make_unique<Impl>(portfolio, std::move(faults)))
{
}

AgencyServer::~AgencyServer()
{
    stop();
}

int AgencyServer::start(int port)
{
    Impl& d = *impl_;
    if (d.port != 0)
        throw std::runtime_error("the agency simulator has been started already");
    d.port = port == 0 ? d.server.bind_to_any_port(Host) : (d.server.bind_to_port(Host, port) ? port : -1);
    if (d.port <= 0) {
        d.port = 0;
        throw std::runtime_error("cannot listen on " + std::string(Host) + ":" + std::to_string(port));
    }
    d.pages = std::make_unique<PageWriter>(d.portfolio, baseUrl());
    d.thread = std::thread([&d] {
        d.server.listen_after_bind();
        d.listenEnded = true;
    });
    // stop() only takes effect on a running server, so start() returns once it runs.
    while (!d.server.is_running() && !d.listenEnded)
        std::this_thread::yield();
    if (d.listenEnded) {
        d.thread.join();
        throw std::runtime_error("the agency simulator stopped at once on port " + std::to_string(d.port));
    }
    return d.port;
}

void AgencyServer::stop()
{
    Impl& d = *impl_;
    {
        std::lock_guard lock(d.stopMutex);
        d.stopping = true;
    }
    d.stopSignal.notify_all();
    d.server.stop();
    if (d.thread.joinable())
        d.thread.join();
}

bool AgencyServer::waitForSlowRequest(std::chrono::milliseconds longest)
{
    Impl& d = *impl_;
    std::unique_lock lock(d.stopMutex);
    return d.pausedSignal.wait_for(lock, longest, [&d] { return d.paused > 0; });
}

int AgencyServer::port() const
{
    return impl_->port;
}
std::string AgencyServer::baseUrl() const
{
    return "http://" + std::string(Host) + ":" + std::to_string(port());
}
std::string AgencyServer::thumbnailUrl(std::int64_t pictureId) const
{
    return baseUrl() + thumbnailPath(pictureId);
}
const Portfolio& AgencyServer::portfolio() const
{
    return impl_->portfolio;
}
std::string AgencyServer::sessionId() const
{
    return impl_->session;
}
std::string AgencyServer::cookieHeader() const
{
    return std::string(SessionCookieName) + "=" + impl_->session;
}

void AgencyServer::writeCookieFile(const std::filesystem::path& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "# Netscape HTTP Cookie File\n"
         << "# The session of the simulated agency on " << Host << " (any port).\n"
         << Host << "\tFALSE\t/\tFALSE\t" << CookieExpiry << '\t' << SessionCookieName << '\t'
         << impl_->session << '\n';
    file.close();
    if (!file)
        throw std::runtime_error("cannot write the cookie file " + path.string());
}

} // namespace agencysim
