#include "app/batch/progress_line.h"

namespace qelvrin::batch {

QString formatElapsed(qint64 elapsedMs)
{
    const qint64 seconds = qMax<qint64>(elapsedMs, 0) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString progressLine(const QString& stageName, int percent, bool overrun, qint64 elapsedMs, int barWidth)
{
    const int clamped = qBound(0, percent, 100);
    const int filled = clamped * barWidth / 100;
    const QString bar = QString(filled, QLatin1Char('#')) + QString(barWidth - filled, QLatin1Char('.'));
    // An overrun log means the expected size was wrong, not that the stage is
    // done: the bar stops short of full and says so.
    const QString mark = overrun ? QStringLiteral("+") : QStringLiteral(" ");
    return QStringLiteral("%1 [%2] %3%%4 %5")
        .arg(stageName, bar)
        .arg(clamped, 3)
        .arg(mark, formatElapsed(elapsedMs));
}

} // namespace qelvrin::batch
