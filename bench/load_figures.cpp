#include "bench/load_figures.h"

#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/timing.h"
#include "platform/resource_use.h"
#include "platform/tool_run.h"
#include "viewer/view_document.h"

#include <cstdio>

namespace qelvrin::bench {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kLoadTargetToWc = 1.0;
constexpr double kPeakBytesPerLine = 4.0;

const QStringList kCLocale{QStringLiteral("LC_ALL=C")};

struct ChildLoads {
    QList<double> seconds;
    QList<double> userSeconds;   // processor time of the whole child, in the program
    QList<double> systemSeconds; // and in the kernel (page faults, zeroing, reading)
    qint64 lines = -1;
    qint64 indexBytes = 0;
    qint64 peakKiB = 0;
    QString failure;
};

ChildLoads loadInChildren(const QString& benchProgram, const QString& path, int runs)
{
    ChildLoads loads;
    for (int run = 0; run < runs; ++run) {
        const ToolRun child = runTool({benchProgram, QStringLiteral("--load-child"), path});
        const QList<QByteArray> words = child.output.simplified().split(' ');
        if (child.exitStatus != 0 || words.size() != 6) {
            loads.failure = QStringLiteral("the load failed: %1").arg(QString::fromLocal8Bit(child.output.trimmed()));
            return loads;
        }
        loads.seconds.append(words[0].toDouble());
        loads.lines = words[1].toLongLong();
        loads.peakKiB = qMax(loads.peakKiB, words[2].toLongLong());
        loads.userSeconds.append(words[3].toDouble());
        loads.systemSeconds.append(words[4].toDouble());
        loads.indexBytes = words[5].toLongLong();
    }
    return loads;
}

Reference toolReference(const QString& name, const QStringList& argv, int runs, bool discardOutput, QByteArray* output = nullptr)
{
    Reference reference{name, {}, {}};
    for (int run = 0; run < runs; ++run) {
        const ToolRun tool = runTool(argv, {.environment = kCLocale, .discardOutput = discardOutput});
        if (tool.exitStatus != 0) {
            reference.seconds.clear();
            reference.note = QStringLiteral("failed");
            return reference;
        }
        reference.seconds.append(tool.seconds);
        if (output)
            *output = tool.output;
    }
    return reference;
}

Figure loadFigure(const BenchFile& file, const BenchOptions& options, const QString& benchProgram)
{
    Figure figure;
    figure.name = QStringLiteral("load");
    figure.input = file.label;
    figure.inputBytes = file.bytes;
    figure.threads = ViewDocument::threadsFor(file.bytes);
    const ChildLoads loads = loadInChildren(benchProgram, file.path, options.runs);
    if (!loads.failure.isEmpty()) {
        figure.failure = loads.failure;
        return figure;
    }
    figure.seconds = loads.seconds;

    QByteArray wcOutput;
    figure.references << toolReference(QStringLiteral("wc -l"), {QStringLiteral("wc"), QStringLiteral("-l"), file.path}, options.runs, false, &wcOutput)
                      << toolReference(QStringLiteral("cat > /dev/null"), {QStringLiteral("cat"), file.path}, options.runs, true);

    const double bytes = double(file.bytes);
    const double throughput = bytes / figure.medianSeconds();
    const double peak = double(loads.peakKiB) * 1024.0;
    const double peakLimit = kPeakBytesPerLine * double(loads.lines) + 64 * kMiB;
    figure.detail = QStringLiteral("%1 GB/s, %2 lines, index %3 (%4 bytes a line), peak %5 (limit %6), processor user %7 system %8")
                        .arg(throughput / 1e9, 0, 'f', 2)
                        .arg(loads.lines)
                        .arg(formatBytes(double(loads.indexBytes)))
                        .arg(double(loads.indexBytes) / double(qMax<qint64>(1, loads.lines)), 0, 'f', 2)
                        .arg(formatBytes(peak), formatBytes(peakLimit), formatDuration(median(loads.userSeconds)), formatDuration(median(loads.systemSeconds)));
    const qint64 wcLines = wcOutput.trimmed().split(' ').value(0).toLongLong();
    if (wcLines != loads.lines)
        figure.detail += QStringLiteral(" (wc -l counts %1 lines)").arg(wcLines);
    figure.target = QStringLiteral("<= 1.0 x wc -l, peak <= limit");
    const QList<double>& wcSeconds = figure.references.first().seconds;
    figure.holds = !wcSeconds.isEmpty() && figure.medianSeconds() <= kLoadTargetToWc * median(wcSeconds) && peak <= peakLimit;
    return figure;
}

} // namespace

int runLoadChild(const QString& path)
{
    ViewDocument document;
    QString error;
    const Clock::time_point start = Clock::now();
    const bool loaded = document.load(path, &error);
    const double seconds = secondsSince(start);
    if (!loaded) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    const ResourceUse usage = ownResourceUse();
    std::printf("%.6f %lld %lld %.6f %.6f %lld\n", seconds, static_cast<long long>(document.LineCount()),
                static_cast<long long>(usage.peakResidentKiB), usage.userSeconds, usage.systemSeconds,
                static_cast<long long>(document.indexBytes()));
    return 0;
}

QList<Figure> loadFigures(const BenchInputs& inputs, const BenchOptions& options, const QString& benchProgram)
{
    QList<Figure> logFigures;
    for (const BenchFile& log : inputs.logs) {
        logFigures.append(loadFigure(log, options, benchProgram));
        printFigure(logFigures.last());
    }
    printFigure(loadFigure(inputs.longLines, options, benchProgram));
    return logFigures;
}

} // namespace qelvrin::bench
