#pragma once

#include <QString>

namespace qelvrin::bench {

struct BenchOptions;

// The batch runner on SDGs whose processor is done at once: the overhead per
// stage (the runner's stage time less the processor's own run) on one drive,
// then SDGs per minute on 1, 2 and 4 drives side by side against K times one
// drive's rate.
void batchFigures(const QString& programDir, const QString& dataDir, const BenchOptions& options);

} // namespace qelvrin::bench
