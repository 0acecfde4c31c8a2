#include "platform/job_end.h"

#include <QDeadlineTimer>
#include <QThread>

namespace qelvrin {

namespace {

bool endedWithin(const BatchJob& job, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (jobRunning(job)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

bool endJob(const BatchJob& job, int graceMs)
{
    sendCloseRequest(job);
    if (endedWithin(job, graceMs))
        return true;
    forceEnd(job);
    // A killed process is gone once the kernel has torn it down.
    return endedWithin(job, 2000);
}

} // namespace qelvrin
