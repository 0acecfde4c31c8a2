#pragma once

#include <QString>

namespace qelvrin::bench {

struct BenchOptions;

// Start-up of the program offscreen, from the process start to the first
// paint of its main window (reported by the program itself when
// QELVRIN_REPORT_FIRST_PAINT is set), beside `qelvrin --version`: the
// start of the same process up to the point where it reads its options.
void startupFigure(const QString& program, const QString& driveRoot, const BenchOptions& options);

} // namespace qelvrin::bench
