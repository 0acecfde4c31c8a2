#pragma once

#include "standin/batch_log.h"
#include "standin/sdg_data.h"

namespace qelvrin::standin {

// The Data Load job after its data are read: the SDG's data sets, sorted and
// summarised per sample.
void writeDataLoadSteps(BatchLog& log, const SdgData& data);

} // namespace qelvrin::standin
