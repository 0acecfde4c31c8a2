#include "stages/stage_runner.h"

#include <cmath>

namespace qelvrin {

int barPercent(double completionPercent)
{
    // A log that outgrows its expected size must not show a finished stage.
    if (completionPercent > 100)
        return 99;
    // nearbyint follows the default rounding mode: a half goes to the even neighbour.
    return static_cast<int>(std::nearbyint(completionPercent));
}

QString generalNumber(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace qelvrin
