#include "tools/agency-sim/server.h"

#include <curl/curl.h>
#include <httplib.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace agencysim;

namespace {

PortfolioOptions smallPortfolio()
{
    PortfolioOptions options;
    options.pictures = 60;
    return options;
}

httplib::Result get(const AgencyServer& server, const std::string& target, int readTimeoutMs = 5000)
{
    httplib::Client client("127.0.0.1", server.port());
    client.set_read_timeout(std::chrono::milliseconds(readTimeoutMs));
    return client.Get(target.c_str(), {{"Cookie", server.cookieHeader()}});
}

bool isLoginPage(const httplib::Result& result)
{
    return result && result->body.find("login.mhtml") != std::string::npos;
}

std::filesystem::path scratchDirectory(const std::string& name)
{
    auto dir =
        std::filesystem::temp_directory_path() / ("agency_sim_" + name + "_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::size_t appendToString(char* data, std::size_t size, std::size_t count, void* target)
{
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

} // namespace

TEST(FaultsTest, FailingPathsAnswerNotFoundAndOnlyThey)
{
    Faults faults;
    faults.failPaths = {"date=2008-05-07"};
    AgencyServer server(smallPortfolio(), faults);
    server.start();
    auto failed = get(server, "/stats_date.mhtml?date=2008-05-07");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 404);
    auto other = get(server, "/stats_date.mhtml?date=2008-05-08");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 200);
}

TEST(FaultsTest, DroppedPagesCloseTheConnectionBeforeTheWholeBodyArrived)
{
    Faults faults;
    faults.dropPaths = {"review.mhtml"};
    AgencyServer server(smallPortfolio(), faults);
    server.start();
    EXPECT_FALSE(get(server, "/review.mhtml?approved=1&type=photos"));
    EXPECT_TRUE(get(server, "/main.mhtml"));
}

// The slow page never answers while the server runs; the client gives every page ten times as long
// as it gives the slow one.
TEST(FaultsTest, SlowPagesKeepTheClientWaiting)
{
    Faults faults;
    faults.slowPaths = {"main.mhtml"};
    faults.slowMs = 600'000; // stopping the server cuts it short
    AgencyServer server(smallPortfolio(), faults);
    server.start();
    EXPECT_FALSE(get(server, "/main.mhtml", 500));
    EXPECT_TRUE(get(server, "/stats.mhtml", 5000));
}

TEST(FaultsTest, TheLoginExpiresAfterItsPagesAndALoginRenewsIt)
{
    Faults faults;
    faults.expireAfter = 2;
    AgencyServer server(smallPortfolio(), faults);
    server.start();
    EXPECT_FALSE(isLoginPage(get(server, "/main.mhtml")));
    EXPECT_FALSE(isLoginPage(get(server, "/stats.mhtml")));
    EXPECT_TRUE(isLoginPage(get(server, "/main.mhtml")));

    httplib::Client client("127.0.0.1", server.port());
    auto login = client.Post("/login.mhtml", "username=a&password=b", "application/x-www-form-urlencoded");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->status, 302);
    EXPECT_EQ(login->get_header_value("Set-Cookie").rfind(server.cookieHeader(), 0), 0u);
    EXPECT_FALSE(isLoginPage(get(server, "/main.mhtml")));
}

TEST(FaultsTest, ASecondServerDoesNotShareABusyPort)
{
    AgencyServer first(smallPortfolio()), second(smallPortfolio());
    const int port = first.start();
    EXPECT_THROW(second.start(port), std::runtime_error);
    EXPECT_NE(second.start(), port);
}

// The cookie file is what the downloader hands to libcurl's cookie jar.
TEST(FaultsTest, TheCookieFileLogsLibcurlIn)
{
    AgencyServer server(smallPortfolio());
    server.start();
    const auto cookies = scratchDirectory("cookies") / "cookies.txt";
    server.writeCookieFile(cookies);

    std::string body;
    CURL* curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    curl_easy_setopt(curl, CURLOPT_URL, (server.baseUrl() + "/main.mhtml").c_str());
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, cookies.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendToString);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
    curl_easy_cleanup(curl);
    EXPECT_NE(body.find("stats.mhtml"), std::string::npos);
    EXPECT_EQ(body.find("login.mhtml"), std::string::npos);
    std::filesystem::remove_all(cookies.parent_path());
}

// Other tests start the program and read its port from the first line of its output.
TEST(ExecutableTest, PrintsItsPortFirstServesAndEndsOnTerminate)
{
    const auto dir = scratchDirectory("exe");
    const std::string cookies = (dir / "cookies.txt").string();
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(AGENCY_SIM_EXECUTABLE, "agency-sim", "--port", "0", "--pictures", "30", "--cookie-file",
              cookies.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* output = fdopen(out[0], "r");
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, output), nullptr);
    int port = 0;
    EXPECT_EQ(std::sscanf(line, "listening on 127.0.0.1:%d", &port), 1) << line;

    httplib::Client client("127.0.0.1", port);
    auto start = client.Get("/main.mhtml");
    ASSERT_TRUE(start);
    EXPECT_NE(start->body.find("login.mhtml"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(cookies));

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    std::fclose(output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::filesystem::remove_all(dir);
}

TEST(ExecutableTest, RefusesABadOptionWithUsage)
{
    const std::string command = std::string(AGENCY_SIM_EXECUTABLE) + " --pictures many 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}
