#include "tools/agency-sim/command_line.h"
#include "tools/agency-sim/server.h"

#include <csignal>
#include <exception>
#include <iostream>

using namespace agencysim;

namespace {

// Blocked before the server's threads exist, so that they inherit the mask and only sigwait sees them.
sigset_t terminationSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

void describe(const SimulatorSettings& settings, const AgencyServer& server)
{
    const Portfolio& portfolio = server.portfolio();
    std::cout << "portfolio: " << portfolio.pictureCount() << " pictures in " << portfolio.batches().size()
              << " batches, sales from " << isoMonth(settings.portfolio.from) << " to "
              << isoMonth(settings.portfolio.till) << ", seed " << settings.portfolio.seed << '\n';
    if (!settings.cookieFile.empty())
        std::cout << "cookie file: " << settings.cookieFile << '\n';
    std::cout << "session cookie: " << server.cookieHeader() << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    SimulatorSettings settings;
    try {
        settings = parseCommandLine({argv + 1, argv + argc});
    } catch (const std::invalid_argument& error) {
        std::cerr << "agency-sim: " << error.what() << '\n' << usage();
        return 2;
    }
    if (settings.help) {
        std::cout << usage();
        return 0;
    }
    const sigset_t signals = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        AgencyServer server(settings.portfolio, settings.faults);
        if (!settings.cookieFile.empty())
            server.writeCookieFile(settings.cookieFile);
        const int port = server.start(settings.port);
        std::cout << "listening on 127.0.0.1:" << port << std::endl;
        describe(settings, server);
        int received = 0;
        sigwait(&signals, &received);
        server.stop();
    } catch (const std::exception& error) {
        std::cerr << "agency-sim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
