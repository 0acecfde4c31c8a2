#pragma once

#include "standin/invocation.h"

#include <QString>

#include <optional>

namespace qelvrin::standin {

// How a run ends, forced through QELVRIN_STANDIN_OUTCOME for tests.
enum class Outcome {
    Normal,         // the job as the data make it
    Abend,          // a failure part-way through, then the end signal
    NoSignal,       // the whole log, then wait without a signal until killed
    ExitNoSignal,   // the whole log, then exit without a signal
};

struct RunSettings {
    int paceMs = 0;
    Outcome outcome = Outcome::Normal;
};

struct ParsedSettings {
    std::optional<RunSettings> settings;
    QString error;
};

// Total run time a stage takes when QELVRIN_STANDIN_PACE_MS is not set.
int defaultPaceMs(Stage stage);

// Reads QELVRIN_STANDIN_PACE_MS and QELVRIN_STANDIN_OUTCOME.
ParsedSettings readRunSettings(Stage stage);

} // namespace qelvrin::standin
