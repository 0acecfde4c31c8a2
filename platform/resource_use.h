#pragma once

#include <QtGlobal>

namespace qelvrin {

// What this process has cost the system so far.
struct ResourceUse {
    qint64 peakResidentKiB = 0;
    double userSeconds = 0;
    double systemSeconds = 0;
};

ResourceUse ownResourceUse();

} // namespace qelvrin
