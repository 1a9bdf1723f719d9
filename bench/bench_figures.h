#pragma once

#include <QStringList>

#include <vector>

namespace bench {

// The median of the runs' figures (the mean of the middle two for an even count).
double median(std::vector<double> values);

// The heap this process has in use, in MiB.
double heapInUseMiB();

// The number after "--runs" among the arguments, at least 1; 5 when there is none.
int runsArgument(const QStringList& arguments);

} // namespace bench
