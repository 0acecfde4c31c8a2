#pragma once

#include "standin/invocation.h"
#include "standin/run_settings.h"

namespace qelvrin::standin {

// Log size the front end counts as a whole run of the stage.
qint64 expectedLogBytes(Stage stage);

// Runs the job: log, report, end signal as the outcome asks. Returns the
// exit code: 0 when the job ran through, 1 when it stopped on an error,
// 3 when the log or the end signal cannot be written.
int runJob(const Invocation& invocation, const RunSettings& settings);

} // namespace qelvrin::standin
