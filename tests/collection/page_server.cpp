#include "tests/collection/page_server.h"

#include <stdexcept>

namespace collection_tests {

PageServer::PageServer(std::map<std::string, std::string> pages) : pages_(std::move(pages))
{
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        const auto page = pages_.find(request.target);
        if (page == pages_.end()) {
            response.status = 404;
            return;
        }
        response.set_content(page->second, "text/html; charset=windows-1251");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("the page server cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
        std::this_thread::yield();
}

PageServer::~PageServer()
{
    server_.stop();
    thread_.join();
}

} // namespace collection_tests
