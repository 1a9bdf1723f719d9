#pragma once

#include <QStringList>

#include <vector>

namespace bench {

// The median of the runs' figures (the mean of the middle two for an even count).
double median(std::vector<double> values);

// The heap this process has in use, in MiB.
double heapInUseMiB();

// This process's resident memory now and at its peak, in MiB (0 where the system does not say).
struct ResidentMemory
{
    double now, peak;
};
ResidentMemory residentMemoryMiB();

// For a benchmark that makes windows, before its QApplication: offscreen unless QT_QPA_PLATFORM names a
// platform, and standard output written line by line, so that each figure shows as it comes.
void startWindowBenchmark();

// The number after "--runs" among the arguments, at least 1; 5 when there is none.
int runsArgument(const QStringList& arguments);

} // namespace bench
