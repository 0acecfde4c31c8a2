#include "app/batch/batch_run.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int interruptPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(interruptPipe[0], &byte, 1);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelvrin-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.6"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the assessment stages without a window: loads the SDG files, then runs Data Load, "
        "Initial Assessment and Full Assessment in turn.\n"
        "Exit status: 0 all completed, 1 a stage ended abnormally, 2 usage or set-up error, "
        "3 the batch processor could not start, 130 interrupted."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption drive(QStringLiteral("drive"), QStringLiteral("Directory that stands for the current drive."), QStringLiteral("dir"));
    const QCommandLineOption driveA(QStringLiteral("drive-a"), QStringLiteral("Directory that stands for diskette drive A:."), QStringLiteral("dir"));
    const QCommandLineOption driveB(QStringLiteral("drive-b"), QStringLiteral("Directory that stands for diskette drive B:."), QStringLiteral("dir"));
    const QCommandLineOption stages(QStringLiteral("stages"), QStringLiteral("Stages to run, of D, I and F (default DIF)."), QStringLiteral("letters"));
    parser.addOptions({drive, driveA, driveB, stages});
    parser.addPositionalArgument(QStringLiteral("sdgfile"), QStringLiteral("The SDG file to load (DOS path such as A:\\M12345.I01, or a native path)."));
    parser.addPositionalArgument(QStringLiteral("next"), QStringLiteral("One file for each further diskette, in order."), QStringLiteral("[next-diskette-file...]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "qelvrin-batch: %s\n", qPrintable(parser.errorText()));
        return qelvrin::batch::ExitSetupError;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    qelvrin::batch::BatchOptions options{parser.value(drive), parser.value(driveA), parser.value(driveB),
                                         parser.value(stages), parser.positionalArguments()};
    QTextStream out(stdout);
    QTextStream err(stderr);
    qelvrin::batch::BatchRun run(options, out, err, ::isatty(STDOUT_FILENO) == 1);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, interruptPipe) == 0) {
        auto* notifier = new QSocketNotifier(interruptPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &run, [&run] {
            char byte = 0;
            [[maybe_unused]] const ssize_t got = ::read(interruptPipe[1], &byte, 1);
            run.interrupt();
        });
        struct sigaction action = {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
    }
    return run.exec();
}
