#include "bench/search_figures.h"

#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/log_lines.h"
#include "bench/timing.h"
#include "platform/tool_run.h"
#include "viewer/search_scan.h"

#include <QThread>

namespace qelvrin::bench {

namespace {

constexpr double kRgRatio = 2.0;
constexpr double kGrepRatio = 1.5;

const QStringList kCLocale{QStringLiteral("LC_ALL=C")};

// Runs the tool `runs` times; its count of matching lines must be `expected`.
Reference toolReference(const QString& name, const QStringList& argv, int runs, qint64 expected)
{
    Reference reference{name, {}, {}};
    if (!toolInstalled(argv.first())) {
        reference.note = QStringLiteral("%1 not installed").arg(argv.first());
        return reference;
    }
    for (int run = 0; run < runs; ++run) {
        const ToolRun tool = runTool(argv, {.environment = kCLocale});
        // Both tools print nothing or 0 and exit with 1 when no line matches.
        const qint64 count = tool.output.trimmed().toLongLong();
        if (tool.exitStatus > 1 || count != expected) {
            reference.seconds.clear();
            reference.note = QStringLiteral("%1 failed or counted %2").arg(argv.first()).arg(count);
            return reference;
        }
        reference.seconds.append(tool.seconds);
    }
    return reference;
}

qint64 countLines(const QString& path)
{
    const ToolRun wc = runTool({QStringLiteral("wc"), QStringLiteral("-l"), path}, {.environment = kCLocale});
    return wc.output.trimmed().split(' ').value(0).toLongLong();
}

Figure searchFigure(const BenchFile& file, const QString& word, qint64 expectedLine, int runs)
{
    Figure figure;
    figure.name = expectedLine ? QStringLiteral("search last line") : QStringLiteral("search absent");
    figure.input = file.label;
    figure.inputBytes = file.bytes;

    LineSearchResult result;
    figure.threads = QThread::idealThreadCount();
    figure.seconds = timeRuns(runs, [&] { result = findLineAfter(file.path, word, 1, 256 * 1024, nullptr, figure.threads); });
    const bool right = expectedLine ? (result.outcome == LineSearchResult::Outcome::Found && result.line == expectedLine)
                                    : result.outcome == LineSearchResult::Outcome::NotFound;
    if (!right) {
        figure.seconds.clear();
        figure.failure = QStringLiteral("the scan for \"%1\" gave line %2, not %3").arg(word).arg(result.line).arg(expectedLine);
        return figure;
    }
    const qint64 expectedCount = expectedLine ? 1 : 0;
    const Reference grep = toolReference(QStringLiteral("grep -c -i"), {QStringLiteral("grep"), QStringLiteral("-c"), QStringLiteral("-i"), word, file.path}, runs, expectedCount);
    const Reference rg = toolReference(QStringLiteral("rg -i -c --no-mmap"), {QStringLiteral("rg"), QStringLiteral("-i"), QStringLiteral("-c"), QStringLiteral("--no-mmap"), word, file.path}, runs, expectedCount);
    figure.references << grep << rg;
    figure.detail = QStringLiteral("\"%1\", %2 GB/s").arg(word).arg(double(file.bytes) / figure.medianSeconds() / 1e9, 0, 'f', 2);
    figure.target = QStringLiteral("ratio >= 2.0 to rg and >= 1.5 to grep");
    const bool beatsRg = rg.seconds.isEmpty() || figure.ratioTo(rg) >= kRgRatio;
    figure.holds = beatsRg && !grep.seconds.isEmpty() && figure.ratioTo(grep) >= kGrepRatio;
    return figure;
}

} // namespace

QList<Figure> searchFigures(const BenchInputs& inputs, const BenchOptions& options)
{
    QList<Figure> figures;
    for (const BenchFile& log : inputs.logs) {
        figures << searchFigure(log, QLatin1String(kAbsentWord), 0, options.runs);
        printFigure(figures.last());
        figures << searchFigure(log, QLatin1String(kLastLineWord), countLines(log.path), options.runs);
        printFigure(figures.last());
    }
    return figures;
}

} // namespace qelvrin::bench
