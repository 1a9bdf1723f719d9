#include "bench/bench_figures.h"

#include <malloc.h>

#include <algorithm>

namespace bench {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double heapInUseMiB()
{
    return static_cast<double>(mallinfo2().uordblks) / (1024 * 1024);
}

int runsArgument(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--runs"));
    return at > 0 && at + 1 < arguments.size() ? std::max(1, arguments[at + 1].toInt()) : 5;
}

} // namespace bench
