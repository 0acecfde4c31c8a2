#include "bench/growth.h"

#include "bench/timing.h"

#include <cstdio>

namespace qelvrin::bench {

namespace {

constexpr double kLinearTolerance = 1.25;

} // namespace

void printGrowth(const QString& name, const QList<Figure>& figures)
{
    QList<const Figure*> measured;
    for (const Figure& figure : figures) {
        if (figure.failure.isEmpty() && !figure.seconds.isEmpty() && figure.inputBytes > 0)
            measured.append(&figure);
    }
    Figure growth;
    growth.name = name;
    growth.input = QStringLiteral("all logs");
    if (measured.size() < 2) {
        growth.failure = QStringLiteral("needs two sizes");
        printFigure(growth);
        return;
    }
    const auto perByte = [](const Figure* figure) { return figure->medianSeconds() / double(figure->inputBytes); };
    const Figure* largest = measured.first();
    for (const Figure* figure : std::as_const(measured))
        largest = figure->inputBytes > largest->inputBytes ? figure : largest;
    double bestSmaller = 0;
    QStringList rates;
    for (const Figure* figure : std::as_const(measured)) {
        rates << QStringLiteral("%1 %2").arg(formatBytes(double(figure->inputBytes))).arg(perByte(figure) * 1e9, 0, 'f', 3);
        if (figure != largest && (bestSmaller == 0 || perByte(figure) < bestSmaller))
            bestSmaller = perByte(figure);
    }
    growth.inputBytes = largest->inputBytes;
    growth.detail = QStringLiteral("ns per byte: %1; largest %2 x the best smaller").arg(rates.join(QStringLiteral(", "))).arg(perByte(largest) / bestSmaller, 0, 'f', 2);
    growth.target = QStringLiteral("largest <= 1.25 x");
    growth.holds = perByte(largest) <= kLinearTolerance * bestSmaller;
    printFigure(growth);
}

} // namespace qelvrin::bench
