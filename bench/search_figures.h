#pragma once

#include "bench/figure.h"

#include <QList>

namespace qelvrin::bench {

struct BenchInputs;
struct BenchOptions;

// The viewer's search scan (the file read again from disk) for a word on no
// line and for one on the last line, beside `grep -c -i` and
// `rg -i -c --no-mmap` on the same file, all in the C locale. Returns the
// figures, absent word first for each log.
QList<Figure> searchFigures(const BenchInputs& inputs, const BenchOptions& options);

} // namespace qelvrin::bench
