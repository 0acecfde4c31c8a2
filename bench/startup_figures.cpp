#include "bench/startup_figures.h"

#include "bench/bench_options.h"
#include "bench/figure.h"
#include "platform/tool_run.h"

#include <QFileInfo>

namespace qelvrin::bench {

namespace {

constexpr double kStartupTargetSeconds = 0.150;
constexpr double kGiveUpSeconds = 20;
constexpr int kMinStartupRuns = 11;

} // namespace

void startupFigure(const QString& program, const QString& driveRoot, const BenchOptions& options)
{
    Figure figure;
    figure.name = QStringLiteral("start-up to first paint");
    figure.input = QStringLiteral("qelvrin");
    figure.inputBytes = QFileInfo(program).size();
    const QStringList offscreen{QStringLiteral("QT_QPA_PLATFORM=offscreen")};
    const QStringList reporting = offscreen + QStringList{QStringLiteral("QELVRIN_REPORT_FIRST_PAINT=1")};
    const QString drive = QStringLiteral("--drive");

    const ToolRun setup = runTool({program, QStringLiteral("--setup-drive"), drive, driveRoot}, {.environment = offscreen, .timeoutSeconds = kGiveUpSeconds});
    if (setup.exitStatus != 0) {
        figure.failure = QStringLiteral("%1 --setup-drive failed").arg(program);
        printFigure(figure);
        return;
    }
    const int runs = qMax(options.runs, kMinStartupRuns);
    Reference version{QStringLiteral("qelvrin --version"), {}, {}};
    for (int run = 0; run < runs; ++run) {
        const ToolRun start = runTool({program, drive, driveRoot}, {.environment = reporting, .discardErrors = true, .timeoutSeconds = kGiveUpSeconds});
        if (start.firstLineSeconds < 0 || !start.output.startsWith("first paint")) {
            figure.seconds.clear();
            figure.failure = start.timedOut ? QStringLiteral("no first-paint report within %1 s").arg(kGiveUpSeconds)
                                            : QStringLiteral("the program ended without a first-paint report");
            break;
        }
        figure.seconds.append(start.firstLineSeconds);
        version.seconds.append(runTool({program, QStringLiteral("--version")}, {.environment = offscreen, .timeoutSeconds = kGiveUpSeconds}).seconds);
    }
    if (figure.failure.isEmpty()) {
        figure.references << version;
        figure.target = QStringLiteral("<= 150 ms");
        figure.holds = figure.medianSeconds() <= kStartupTargetSeconds;
    }
    printFigure(figure);
}

} // namespace qelvrin::bench
