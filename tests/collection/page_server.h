#pragma once

#include <httplib.h>

#include <map>
#include <string>
#include <thread>

namespace collection_tests {

// Serves fixed pages on 127.0.0.1, each at its path and query, for pages that the simulated agency
// never writes (hostile ids, headings in odd places); anything else is answered 404.
class PageServer
{
public:
    explicit PageServer(std::map<std::string, std::string> pages);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    std::map<std::string, std::string> pages_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace collection_tests
