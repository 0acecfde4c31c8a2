#pragma once

#include <QString>

#include <functional>

namespace qelvrin::bench {

class BenchDialogs;
struct BenchInputs;
struct BenchOptions;

// The viewer's Print command on the 100-page report, to a PDF file, beside
// the same lines drawn straight onto a PDF printer with QPainter.
// Calls `done` at its end, from the event loop.
void printCommandFigure(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot,
                        const std::function<void()>& done);

} // namespace qelvrin::bench
