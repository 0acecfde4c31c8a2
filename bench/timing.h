#pragma once

#include <QList>
#include <QString>

#include <chrono>

namespace qelvrin::bench {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start);

// The middle value; the mean of the two middle ones for an even count.
double median(QList<double> values);

// Times `work` once per run, in seconds.
template <typename Work>
QList<double> timeRuns(int runs, Work&& work)
{
    QList<double> seconds;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        work();
        seconds.append(secondsSince(start));
    }
    return seconds;
}

// "612 us", "12.3 ms", "1.23 s".
QString formatDuration(double seconds);
// "10.0 MiB", "1.00 GiB".
QString formatBytes(double bytes);

} // namespace qelvrin::bench
