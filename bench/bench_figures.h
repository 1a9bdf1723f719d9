#pragma once

#include <vector>

namespace bench {

// The median of the runs' figures (the mean of the middle two for an even count).
double median(std::vector<double> values);

// The heap this process has in use, in MiB.
double heapInUseMiB();

} // namespace bench
