#pragma once

#include <QString>

namespace qelvrin::bench {

// One line on the processor, memory, kernel, huge-page setting, Qt and compiler.
QString machineDescription();

// The system's 1, 5 and 15 minute load averages.
QString loadAverage();

// First line of `tool --version`, or "not installed".
QString toolVersion(const QString& tool);

} // namespace qelvrin::bench
