#include "app/mainmenu.h"
#include "dialogs/emblem.h"
#include "platform/drive_map.h"
#include "app/drive_setup.h"
#include "platform/path_text.h"
#include "widgets/qt_dialogs.h"
#include "platform/termination_signals.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// How qelvrin ends, as its help and manual page tell.
enum ExitStatus { ExitDone = 0, ExitUnusable = 1, ExitUsage = 2, ExitNoDisplay = 3 };

// Without one Qt would abort at start with advice that does not help here.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int usageError(const QString& error)
{
    std::fprintf(stderr, "qelvrin: %s\nTry 'qelvrin --help' for more information.\n", qPrintable(error));
    return ExitUsage;
}

// Help, version and the drive set-up need no display, so a terminal
// without one can still run them.
bool needsWindow(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--setup-drive", "--help", "--help-all", "-h", "-?", "--version", "-v"}) {
            if (std::strcmp(argv[i], option) == 0)
                return false;
        }
    }
    return true;
}

// For the start-up benchmark (QELVRIN_REPORT_FIRST_PAINT set): once the
// main window has painted for the first time, print "first paint" and quit.
class FirstPaintReport : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued, so the report follows the finished paint.
            QTimer::singleShot(0, [] {
                std::puts("first paint");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[])
{
    const bool hasWindow = needsWindow(argc, argv) && displayAvailable();
    const std::unique_ptr<QCoreApplication> app(hasWindow ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("QELVRIN"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QELVRIN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Front end of the three-stage batch assessment of inorganic laboratory data.\n"
        "Exit status: 0 ended, 1 a path or the drive's set-up cannot be used, 2 usage error, 3 no display."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption drive(QStringLiteral("drive"), QStringLiteral("Directory that stands for the current drive."), QStringLiteral("dir"));
    const QCommandLineOption driveA(QStringLiteral("drive-a"), QStringLiteral("Directory that stands for diskette drive A:."), QStringLiteral("dir"));
    const QCommandLineOption driveB(QStringLiteral("drive-b"), QStringLiteral("Directory that stands for diskette drive B:."), QStringLiteral("dir"));
    const QCommandLineOption setupDrive(QStringLiteral("setup-drive"), QStringLiteral("Lay out the drive as an installation would, then exit."));
    parser.addOptions({drive, driveA, driveB, setupDrive});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("File the viewer shows when it has no file of its own."), QStringLiteral("[file...]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(ExitDone);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (parser.isSet(setupDrive) && !parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("--setup-drive takes no file: '%1'").arg(parser.positionalArguments().constFirst()));

    const QString refusal = qelvrin::undecodablePath(argc, argv, parser.value(drive));
    if (!refusal.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
        if (hasWindow)
            qelvrin::QtDialogs().message({refusal, qelvrin::MsgIcon::Critical, qelvrin::MsgButtons::Ok, qelvrin::kApplicationTitle});
        return ExitUnusable;
    }

    const qelvrin::DriveMap drives = qelvrin::DriveMap::fromOptions(parser.value(drive), parser.value(driveA), parser.value(driveB));

    if (parser.isSet(setupDrive)) {
        const qelvrin::DriveSetupResult result = qelvrin::setUpDrive(drives, qelvrin::findStandIn());
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return ExitUnusable;
        }
        return ExitDone;
    }
    if (!hasWindow) {
        std::fputs("qelvrin: no display is available; qelvrin-batch runs the stages without one.\n", stderr);
        return ExitNoDisplay;
    }

    QApplication::setWindowIcon(qelvrin::applicationIcon());
    qelvrin::QtDialogs dialogs(nullptr, drives);
    const qelvrin::DriveSetupResult setup = qelvrin::setUpDrive(drives, qelvrin::findStandIn());
    if (!setup.ok)
        dialogs.message({setup.error, qelvrin::MsgIcon::Exclamation, qelvrin::MsgButtons::Ok, qelvrin::kApplicationTitle});
    // As the installed shortcut did: the relative settings name then means
    // the install directory's file.
    if (QFileInfo(drives.installDir()).isDir())
        QDir::setCurrent(drives.installDir());

    // Ending at once: leave the event loop; no further handler runs.
    const auto endProgram = [] { QCoreApplication::exit(0); };
    qelvrin::ViewerLauncher viewer(drives, dialogs, parser.positionalArguments().join(QLatin1Char(' ')), endProgram);
    qelvrin::Mainmenu window(drives, dialogs, [&viewer](const QString& dosPath) { viewer.OpenInViewer(dosPath); });
    window.setEndProgram(endProgram);
    dialogs.setParent(&window);
    if (!window.Form_Load())
        return ExitDone;
    const qelvrin::TerminationSignals termination;
    QObject::connect(&termination, &qelvrin::TerminationSignals::received, &window, &qelvrin::Mainmenu::terminationRequested);
    FirstPaintReport firstPaint;
    if (qEnvironmentVariableIsSet("QELVRIN_REPORT_FIRST_PAINT"))
        window.installEventFilter(&firstPaint);
    window.show();
    return app->exec();
}
