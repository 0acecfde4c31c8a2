#pragma once

#include "bench/figure.h"

#include <QList>

namespace qelvrin::bench {

// Whether time grows linearly with the input: the time per byte of each
// figure, and the largest input's against the best of the smaller ones
// (fixed costs make small inputs dearer per byte, never cheaper). Prints
// one line; figures that were not measured are left out.
void printGrowth(const QString& name, const QList<Figure>& figures);

} // namespace qelvrin::bench
