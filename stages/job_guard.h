#pragma once

#include "platform/process.h"

#include <QString>

#include <optional>

namespace qelvrin {

class DriveMap;

inline const QString kJobRecordPath = QStringLiteral("\\QELVRIN\\BATCHJOB.DAT");

// The batch job the drive's last stage started, while any process of it
// still lives: its lines and its end signal would be taken for the next run's.
std::optional<BatchJob> runningJob(const DriveMap& drives);

QString runningJobMessage(const BatchJob& job);

} // namespace qelvrin
