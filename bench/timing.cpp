#include "bench/timing.h"

#include <algorithm>

namespace qelvrin::bench {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

QString formatDuration(double seconds)
{
    if (seconds < 1e-3)
        return QStringLiteral("%1 us").arg(seconds * 1e6, 0, 'f', 0);
    if (seconds < 1)
        return QStringLiteral("%1 ms").arg(seconds * 1e3, 0, 'f', seconds < 0.1 ? 2 : 1);
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
}

QString formatBytes(double bytes)
{
    constexpr double kMiB = 1024.0 * 1024.0;
    if (bytes >= 1024 * kMiB)
        return QStringLiteral("%1 GiB").arg(bytes / (1024 * kMiB), 0, 'f', 2);
    return QStringLiteral("%1 MiB").arg(bytes / kMiB, 0, 'f', 1);
}

} // namespace qelvrin::bench
