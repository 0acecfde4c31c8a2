#include "stages/job_guard.h"

#include "platform/drive_map.h"
#include "stages/job_record.h"

namespace qelvrin {

std::optional<BatchJob> runningJob(const DriveMap& drives)
{
    const std::optional<BatchJob> job = readJobRecord(drives.toNative(kJobRecordPath));
    if (job && jobRunning(*job))
        return job;
    return std::nullopt;
}

QString runningJobMessage(const BatchJob& job)
{
    return QStringLiteral("The batch job started earlier on this drive is still running (process group %1). "
                          "Nothing can run on the drive until it has ended; to end it: kill -TERM -- -%1")
        .arg(jobGroup(job));
}

} // namespace qelvrin
