#include "bench/bench_figures.h"

#include <QFile>

#include <malloc.h>

#include <algorithm>
#include <cstdio>

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

ResidentMemory residentMemoryMiB()
{
    ResidentMemory memory{0, 0};
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        const double mib = parts[1].toDouble() / 1024; // the values are in kB
        if (parts[0] == "VmRSS:")
            memory.now = mib;
        else if (parts[0] == "VmHWM:")
            memory.peak = mib;
    }
    return memory;
}

void startWindowBenchmark()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

int runsArgument(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--runs"));
    return at > 0 && at + 1 < arguments.size() ? std::max(1, arguments[at + 1].toInt()) : 5;
}

} // namespace bench
