#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace qelvrin::bench {

// One tool or program measured beside a figure, on the same input.
struct Reference {
    QString name;
    QList<double> seconds; // empty: not measured (`note` says why)
    QString note;
};

// One measured figure: what, on which input, the runs, and what it is
// compared with. Ratios are the reference's median over ours, so a ratio
// above 1 means ours is faster.
struct Figure {
    QString name;
    QString input;
    qint64 inputBytes = 0;
    int threads = 1;             // the threads ours ran on
    QList<double> seconds;
    QString detail;              // throughput, peak memory...
    QList<Reference> references;
    QString target;              // empty: the figure has no target
    std::optional<bool> holds;   // set with the target
    QString failure;             // set when the figure could not be measured

    double medianSeconds() const;
    // Reference median over ours; 0 without both.
    double ratioTo(const Reference& reference) const;
};

// The figure as one line on stdout.
void printFigure(const Figure& figure);

// The targets held and missed among the figures printed so far.
void printTargetSummary();

} // namespace qelvrin::bench
