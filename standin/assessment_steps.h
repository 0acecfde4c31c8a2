#pragma once

#include "standin/assessment_report.h"
#include "standin/batch_log.h"
#include "standin/invocation.h"
#include "standin/sdg_data.h"

namespace qelvrin::standin {

// An assessment job after its data are read: one step per check, the report
// at the -PRINT path, the frequency tables. False when the report could not
// be written (the job is then stopped in the log).
bool writeAssessmentSteps(BatchLog& log, const Invocation& invocation, const AssessmentKind& kind, const SdgData& data);

} // namespace qelvrin::standin
