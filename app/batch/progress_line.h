#pragma once

#include <QString>

namespace qelvrin::batch {

// One terminal line showing a running stage: name, bar, percentage, time.
QString progressLine(const QString& stageName, int percent, bool overrun, qint64 elapsedMs, int barWidth = 30);
// "m:ss" for the elapsed time of a stage.
QString formatElapsed(qint64 elapsedMs);

} // namespace qelvrin::batch
