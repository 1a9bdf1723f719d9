#include "tools/agency-sim/command_line.h"

#include "tools/agency-sim/decimal.h"

#include <functional>
#include <map>
#include <stdexcept>

namespace agencysim {

namespace {

constexpr std::uint64_t MaxSeed = 9'999'999'999'999'999'999ULL; // the most that 19 digits hold

std::uint64_t wholeNumber(const std::string& option, const std::string& text, std::uint64_t maximum)
{
    auto value = parseDecimal(text);
    if (!value || *value > maximum)
        throw std::invalid_argument(option + " needs a whole number from 0 to " + std::to_string(maximum) +
                                    ", not \"" + text + "\"");
    return *value;
}

int smallNumber(const std::string& option, const std::string& text, int maximum)
{
    return static_cast<int>(wholeNumber(option, text, static_cast<std::uint64_t>(maximum)));
}

Month month(const std::string& option, const std::string& text)
{
    auto parsed = parseIsoMonth(text);
    if (!parsed)
        throw std::invalid_argument(option + " needs a month as yyyy-mm, not \"" + text + "\"");
    return *parsed;
}

} // namespace

SimulatorSettings parseCommandLine(const std::vector<std::string>& arguments)
{
    using Setter =
        std::function<void(SimulatorSettings&, const std::string& option, const std::string& value)>;
    static const std::map<std::string, Setter> setters = {
        {"--port", [](auto& s, auto& o, auto& v) { s.port = smallNumber(o, v, 65535); }},
        {"--seed", [](auto& s, auto& o, auto& v) { s.portfolio.seed = wholeNumber(o, v, MaxSeed); }},
        {"--pictures",
         [](auto& s, auto& o, auto& v) { s.portfolio.pictures = smallNumber(o, v, 1'000'000); }},
        {"--from", [](auto& s, auto& o, auto& v) { s.portfolio.from = month(o, v); }},
        {"--till", [](auto& s, auto& o, auto& v) { s.portfolio.till = month(o, v); }},
        {"--cookie-file", [](auto& s, auto&, auto& v) { s.cookieFile = v; }},
        {"--fail-path", [](auto& s, auto&, auto& v) { s.faults.failPaths.push_back(v); }},
        {"--drop-path", [](auto& s, auto&, auto& v) { s.faults.dropPaths.push_back(v); }},
        {"--slow-path", [](auto& s, auto&, auto& v) { s.faults.slowPaths.push_back(v); }},
        {"--slow-ms", [](auto& s, auto& o, auto& v) { s.faults.slowMs = smallNumber(o, v, 600'000); }},
        {"--expire-after",
         [](auto& s, auto& o, auto& v) { s.faults.expireAfter = smallNumber(o, v, 1'000'000'000); }},
    };
    SimulatorSettings settings;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help") {
            settings.help = true;
            continue;
        }
        auto setter = setters.find(option);
        if (setter == setters.end())
            throw std::invalid_argument("unknown option \"" + option + "\"");
        if (i + 1 == arguments.size())
            throw std::invalid_argument(option + " needs a value");
        setter->second(settings, option, arguments[++i]);
    }
    return settings;
}

std::string usage()
{
    return "usage: agency-sim [options]\n"
           "Serves a synthetic contributor portfolio on 127.0.0.1 until interrupted.\n"
           "  --port N            port to listen on; 0 (the default) takes any free port\n"
           "  --seed N            seed of the portfolio (default 1)\n"
           "  --pictures N        portfolio size (default 500)\n"
           "  --from yyyy-mm      first month with sales (default 2007-01)\n"
           "  --till yyyy-mm      last month with sales (default 2008-12)\n"
           "  --cookie-file PATH  write the session as a Netscape cookies.txt\n"
           "faults for tests (a request matches when its path and query contain TEXT; repeatable):\n"
           "  --fail-path TEXT    answer 404\n"
           "  --drop-path TEXT    send half the page, then close the connection\n"
           "  --slow-path TEXT    answer after --slow-ms N milliseconds\n"
           "  --expire-after N    the login expires after N contributor pages\n"
           "The first line of output is \"listening on 127.0.0.1:PORT\".\n";
}

} // namespace agencysim
