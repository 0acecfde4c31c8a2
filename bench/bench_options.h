#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qelvrin::bench {

struct BenchOptions {
    QString dataDir = QStringLiteral("bench-data");
    int runs = 5;
    QList<int> logSizesMiB{10, 100, 1024};
    QStringList only;        // figure groups to run; empty: all
    QString loadChildFile;   // helper mode: load this file and report
    QString error;           // set when the command line is wrong

    bool wants(const QString& group) const { return only.isEmpty() || only.contains(group); }
};

inline constexpr char kUsage[] =
    "usage: qelvrin-bench [--data DIR] [--runs N] [--sizes MIB,MIB,...] [--only GROUP,...]\n"
    "  --data DIR    where the generated inputs are kept (default bench-data)\n"
    "  --runs N      runs per figure; the median is shown (default 5)\n"
    "  --sizes LIST  sizes of the generated logs in MiB (default 10,100,1024)\n"
    "  --only LIST   some of: load draw search startup print batch\n";

BenchOptions parseOptions(const QStringList& arguments);

} // namespace qelvrin::bench
