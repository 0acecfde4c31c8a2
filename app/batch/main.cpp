#include "app/batch/batch_run.h"
#include "stages/stage_table.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "platform/termination_signals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelvrin-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QELVRIN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the assessment stages without a window: loads the SDG files, then runs %1 in turn.\n"
        "Exit status: 0 all completed, 1 a stage ended abnormally, 2 usage or set-up error, "
        "3 the batch processor could not start, 130 interrupted.").arg(qelvrin::batch::stageNames()));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption drive(QStringLiteral("drive"), QStringLiteral("Directory that stands for the current drive."), QStringLiteral("dir"));
    const QCommandLineOption driveA(QStringLiteral("drive-a"), QStringLiteral("Directory that stands for diskette drive A:."), QStringLiteral("dir"));
    const QCommandLineOption driveB(QStringLiteral("drive-b"), QStringLiteral("Directory that stands for diskette drive B:."), QStringLiteral("dir"));
    const QCommandLineOption stages(QStringLiteral("stages"), QStringLiteral("Stages to run, of %1 (default %2).").arg(qelvrin::batch::stageChoices(), qelvrin::stageLetters()), QStringLiteral("letters"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the result as one JSON object on stdout when the run ends; the transcript goes to stderr."));
    parser.addOptions({drive, driveA, driveB, stages, json});
    parser.addPositionalArgument(QStringLiteral("sdgfile"), QStringLiteral("The SDG file to load (DOS path such as A:\\M12345.I01, or a native path)."));
    parser.addPositionalArgument(QStringLiteral("next"), QStringLiteral("One file for each further diskette, in order."), QStringLiteral("[next-diskette-file...]"));
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parsed && parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    // With --json, stdout carries nothing but the result, so that
    // `qelvrin-batch --json ... > result.json` keeps it apart from the transcript.
    const bool asJson = parsed ? parser.isSet(json) : QCoreApplication::arguments().contains(QStringLiteral("--json"));
    QTextStream out(asJson ? stderr : stdout);
    QTextStream err(stderr);
    QElapsedTimer clock;
    clock.start();
    const auto finish = [&](const qelvrin::batch::BatchReport& report, int status) {
        if (asJson)
            std::printf("%s\n", report.toJson(status, clock.elapsed()).constData());
        return status;
    };
    QString refusal = parsed ? qelvrin::undecodablePath(argc, argv, parser.value(drive)) : parser.errorText();
    // An empty folder would quietly name the default drive, which the run then purges.
    for (const QCommandLineOption& folder : {drive, driveA, driveB}) {
        if (refusal.isEmpty() && parser.isSet(folder) && parser.value(folder).isEmpty())
            refusal = QStringLiteral("--%1 needs a folder; it was given empty").arg(folder.names().first());
    }
    if (!refusal.isEmpty()) {
        err << "qelvrin-batch: " << refusal << '\n';
        if (!parsed)
            err << "Try 'qelvrin-batch --help' for more information.\n";
        err.flush();
        qelvrin::batch::BatchReport report;
        report.setError(parsed ? QStringLiteral("bad-path") : QStringLiteral("usage"), refusal);
        return finish(report, qelvrin::batch::ExitSetupError);
    }

    qelvrin::batch::BatchOptions options{parser.value(drive), parser.value(driveA), parser.value(driveB),
                                         parser.value(stages), parser.positionalArguments()};
    qelvrin::batch::BatchRun run(options, out, err, qelvrin::isTerminal(asJson ? stderr : stdout));

    qelvrin::ignoreFileSizeSignal();
    const qelvrin::TerminationSignals termination;
    QObject::connect(&termination, &qelvrin::TerminationSignals::received, &run, &qelvrin::batch::BatchRun::interrupt);
    const int status = run.exec();
    return finish(run.report(), status);
}
