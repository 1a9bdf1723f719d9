#pragma once

#include "tools/agency-sim/portfolio.h"
#include "tools/agency-sim/server.h"

#include <string>
#include <vector>

namespace agencysim {

struct SimulatorSettings
{
    PortfolioOptions portfolio;
    Faults faults;
    int port = 0;           // 0: any free port
    std::string cookieFile; // empty: none written
    bool help = false;
};

// Reads the arguments after the program name; std::invalid_argument names the offending option.
SimulatorSettings parseCommandLine(const std::vector<std::string>& arguments);
std::string usage();

} // namespace agencysim
