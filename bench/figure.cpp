#include "bench/figure.h"

#include "bench/timing.h"

#include <cstdio>

namespace qelvrin::bench {

namespace {

QList<Figure>& figures()
{
    static QList<Figure> all;
    return all;
}

QString verdict(const Figure& figure)
{
    if (!figure.holds)
        return {};
    return QStringLiteral("target %1: %2").arg(figure.target, *figure.holds ? QStringLiteral("holds") : QStringLiteral("MISSED"));
}

} // namespace

double Figure::medianSeconds() const
{
    return median(seconds);
}

double Figure::ratioTo(const Reference& reference) const
{
    const double ours = medianSeconds();
    if (ours <= 0 || reference.seconds.isEmpty())
        return 0;
    return median(reference.seconds) / ours;
}

void printFigure(const Figure& figure)
{
    QStringList parts;
    parts << QStringLiteral("%1 | %2 %3 | threads %4")
                 .arg(figure.name.leftJustified(22), figure.input.leftJustified(10), formatBytes(double(figure.inputBytes)).rightJustified(10))
                 .arg(figure.threads);
    if (!figure.failure.isEmpty()) {
        parts << QStringLiteral("not measured: %1").arg(figure.failure);
    } else {
        if (!figure.seconds.isEmpty())
            parts << QStringLiteral("median %1 of %2").arg(formatDuration(figure.medianSeconds()).rightJustified(9)).arg(figure.seconds.size());
        if (!figure.detail.isEmpty())
            parts << figure.detail;
        for (const Reference& reference : figure.references) {
            if (reference.seconds.isEmpty())
                parts << QStringLiteral("%1: %2").arg(reference.name, reference.note);
            else
                parts << QStringLiteral("%1 %2 ratio %3").arg(reference.name, formatDuration(median(reference.seconds))).arg(figure.ratioTo(reference), 0, 'f', 2);
        }
        if (figure.holds)
            parts << verdict(figure);
    }
    std::printf("%s\n", qPrintable(parts.join(QStringLiteral(" | "))));
    std::fflush(stdout);
    if (figure.holds || !figure.failure.isEmpty())
        figures().append(figure);
}

void printTargetSummary()
{
    int held = 0;
    QStringList missed;
    for (const Figure& figure : figures()) {
        if (figure.holds.value_or(false))
            ++held;
        else
            missed << QStringLiteral("  %1 (%2): %3").arg(figure.name, figure.input, figure.failure.isEmpty() ? verdict(figure) : figure.failure);
    }
    std::printf("\ntargets: %d held, %d missed\n", held, int(missed.size()));
    for (const QString& line : std::as_const(missed))
        std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace qelvrin::bench
