#pragma once

#include "platform/process.h"

namespace qelvrin {

// Ends a batch job left behind by an earlier run: the close request to its
// process group, at most `graceMs` for it to end, then the group is killed.
// Blocks the caller for that long at most; true once no process of it lives.
bool endJob(const BatchJob& job, int graceMs);

} // namespace qelvrin
