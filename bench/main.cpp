// Benchmarks of the viewer, its search and printing, and the program's
// start-up, each beside standard tools measured on the same input in the
// same run; and the batch runner's own time per stage. Run through
// scripts/bench.

#include "bench/batch_figures.h"
#include "bench/bench_dialogs.h"
#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/draw_figures.h"
#include "bench/figure.h"
#include "bench/growth.h"
#include "bench/load_figures.h"
#include "bench/machine_info.h"
#include "bench/print_figures.h"
#include "bench/search_figures.h"
#include "bench/startup_figures.h"
#include "bench/steps.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

using namespace qelvrin::bench;

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Offscreen windows, and a private runtime folder so Qt stays quiet and the
// program's single-copy lock has a home.
void prepareEnvironment(const QString& dataDir)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir(dataDir).absoluteFilePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
}

// The offscreen platform remarks on every window it cannot place or raise;
// the figures' lines stay readable without that.
void quietOffscreenRemarks(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void printHeader(const BenchOptions& options)
{
    std::printf("machine: %s\n", qPrintable(machineDescription()));
    std::printf("tools: %s; %s; %s; %s\n", qPrintable(toolVersion(QStringLiteral("grep"))), qPrintable(toolVersion(QStringLiteral("rg"))),
                qPrintable(toolVersion(QStringLiteral("wc"))), qPrintable(toolVersion(QStringLiteral("cat"))));
    std::printf("load average at start: %s; %d runs per figure (draw and start-up at least 25 and 11); ratio = reference / ours\n\n",
                qPrintable(loadAverage()), options.runs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    const BenchOptions options = parseOptions(argumentsOf(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n%s", qPrintable(options.error), kUsage);
        return 2;
    }
    if (!options.loadChildFile.isEmpty())
        return runLoadChild(options.loadChildFile);

    const QString dataDir = QDir(options.dataDir).absolutePath();
    prepareEnvironment(dataDir);
    qInstallMessageHandler(quietOffscreenRemarks);
    QApplication app(argc, argv);
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString driveRoot = QDir(dataDir).filePath(QStringLiteral("drive"));
    QDir().mkpath(driveRoot);

    printHeader(options);
    BenchInputs inputs;
    // The batch figure needs none of the 1.3 GiB of inputs.
    const bool needsInputs = options.only != QStringList{QStringLiteral("batch")};
    if (needsInputs && !prepareInputs(dataDir, options.logSizesMiB, inputs))
        return 1;
    if (needsInputs)
        warmPageCache(inputs);

    // The figures run from the event loop: the viewer's reads end there.
    BenchDialogs dialogs;
    QList<Step> steps;
    if (options.wants(QStringLiteral("load")))
        steps << [&](const std::function<void()>& done) {
            printGrowth(QStringLiteral("load growth"), loadFigures(inputs, options, QCoreApplication::applicationFilePath()));
            done();
        };
    if (options.wants(QStringLiteral("draw")))
        steps << [&](const std::function<void()>& done) { drawFigures(inputs, options, dialogs, driveRoot, done); };
    if (options.wants(QStringLiteral("search")))
        steps << [&](const std::function<void()>& done) {
            const QList<Figure> searches = searchFigures(inputs, options);
            QList<Figure> absent;
            QList<Figure> lastLine;
            for (qsizetype i = 0; i < searches.size(); ++i)
                (i % 2 == 0 ? absent : lastLine).append(searches[i]);
            printGrowth(QStringLiteral("search absent growth"), absent);
            printGrowth(QStringLiteral("search last growth"), lastLine);
            done();
        };
    if (options.wants(QStringLiteral("startup")))
        steps << [&](const std::function<void()>& done) {
            startupFigure(QDir(programDir).filePath(QStringLiteral("qelvrin")), driveRoot, options);
            done();
        };
    if (options.wants(QStringLiteral("print")))
        steps << [&](const std::function<void()>& done) { printCommandFigure(inputs, options, dialogs, driveRoot, done); };
    if (options.wants(QStringLiteral("batch")))
        steps << [&](const std::function<void()>& done) {
            batchFigures(programDir, dataDir, options);
            done();
        };
    QTimer::singleShot(0, &app, [&] {
        runSteps(steps, [] {
            std::printf("\nload average at end: %s\n", qPrintable(loadAverage()));
            printTargetSummary();
            QCoreApplication::quit();
        });
    });
    return app.exec();
}
