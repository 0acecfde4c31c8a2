#pragma once

#include "bench/figure.h"

#include <QList>
#include <QString>

namespace qelvrin::bench {

struct BenchInputs;
struct BenchOptions;

// Helper mode of the bench program: loads `path` into a viewer document in
// this fresh process and prints "<seconds> <lines> <peak resident KiB>
// <user seconds> <system seconds>" (processor time of the whole process), so
// the peak is the load's alone. Returns the exit status.
int runLoadChild(const QString& path);

// Viewer load of every log and the long-line file, each load in a child
// process, beside `wc -l` and `cat > /dev/null`. Returns the logs' figures.
QList<Figure> loadFigures(const BenchInputs& inputs, const BenchOptions& options, const QString& benchProgram);

} // namespace qelvrin::bench
