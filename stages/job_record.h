#pragma once

#include "platform/process.h"

#include <QString>

#include <optional>

namespace qelvrin {

// The drive's note of the batch job its last stage started, so that a later
// run, in whatever process, can tell whether that job still runs.
// Written without following a link; false with the reason when it cannot be.
bool writeJobRecord(const QString& nativePath, const BatchJob& job, QString* error);
// Only a plain file is read, and only its first bytes; nullopt when there
// is no usable note.
std::optional<BatchJob> readJobRecord(const QString& nativePath);

} // namespace qelvrin
