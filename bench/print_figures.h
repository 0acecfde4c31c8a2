#pragma once

#include <QString>

namespace qelvrin::bench {

class BenchDialogs;
struct BenchInputs;
struct BenchOptions;

// The viewer's Print command on the 100-page report, to a PDF file, beside
// the same lines drawn straight onto a PDF printer with QPainter.
void printCommandFigure(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot);

} // namespace qelvrin::bench
