#pragma once

#include "tools/agency-sim/server.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// One simulator shared by the tests of a suite, and requests to it with or without its session.
class SimulatorTest : public ::testing::Test
{
protected:
    static agencysim::PortfolioOptions options()
    {
        agencysim::PortfolioOptions options;
        options.seed = 11;
        options.pictures = 400;
        options.from = std::chrono::year(2007) / std::chrono::March;
        options.till = std::chrono::year(2008) / std::chrono::June;
        return options;
    }

    static void SetUpTestSuite()
    {
        server_ = std::make_unique<agencysim::AgencyServer>(options());
        server_->start();
    }
    static void TearDownTestSuite() { server_.reset(); }

    static agencysim::AgencyServer& server() { return *server_; }
    static const agencysim::Portfolio& portfolio() { return server_->portfolio(); }

    // The body of a page that must arrive with status 200.
    static std::string page(const std::string& target, bool loggedIn = true)
    {
        httplib::Client client("127.0.0.1", server_->port());
        httplib::Headers headers;
        if (loggedIn)
            headers.emplace("Cookie", server_->cookieHeader());
        auto result = client.Get(target.c_str(), headers);
        if (!result) {
            ADD_FAILURE() << target << ": no answer (" << httplib::to_string(result.error()) << ")";
            return {};
        }
        EXPECT_EQ(result->status, 200) << target;
        return result->body;
    }

private:
    static inline std::unique_ptr<agencysim::AgencyServer> server_;
};
