#pragma once

#include <QString>

#include <functional>

namespace qelvrin::bench {

class BenchDialogs;
struct BenchInputs;
struct BenchOptions;

// Drawing a page in the viewer window (offscreen): the text handed to Text1
// and Text1 repainted, at the first, middle and last line of every log and
// the long-line file, beside the same position in the smallest log.
// Calls `done` at its end, from the event loop.
void drawFigures(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot,
                 const std::function<void()>& done);

} // namespace qelvrin::bench
