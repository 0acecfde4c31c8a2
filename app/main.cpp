#include "app/mainmenu.h"
#include "dialogs/emblem.h"
#include "platform/drive_map.h"
#include "platform/drive_setup.h"
#include "platform/path_text.h"
#include "platform/qt_dialogs.h"
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
    const std::unique_ptr<QCoreApplication> app(needsWindow(argc, argv) ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("QELVRIN"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.6"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Front end of the three-stage batch assessment of inorganic laboratory data."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption drive(QStringLiteral("drive"), QStringLiteral("Directory that stands for the current drive."), QStringLiteral("dir"));
    const QCommandLineOption driveA(QStringLiteral("drive-a"), QStringLiteral("Directory that stands for diskette drive A:."), QStringLiteral("dir"));
    const QCommandLineOption driveB(QStringLiteral("drive-b"), QStringLiteral("Directory that stands for diskette drive B:."), QStringLiteral("dir"));
    const QCommandLineOption setupDrive(QStringLiteral("setup-drive"), QStringLiteral("Lay out the drive as an installation would, then exit."));
    parser.addOptions({drive, driveA, driveB, setupDrive});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("File the viewer shows when it has no file of its own."), QStringLiteral("[file...]"));
    parser.process(*app);

    const QString refusal = qelvrin::undecodablePath(argc, argv, parser.value(drive));
    if (!refusal.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
        if (qobject_cast<QApplication*>(app.get()))
            qelvrin::QtDialogs().message({refusal, qelvrin::MsgIcon::Critical, qelvrin::MsgButtons::Ok, qelvrin::kApplicationTitle});
        return 1;
    }

    const qelvrin::DriveMap drives = qelvrin::DriveMap::fromOptions(parser.value(drive), parser.value(driveA), parser.value(driveB));

    if (parser.isSet(setupDrive)) {
        const qelvrin::DriveSetupResult result = qelvrin::setUpDrive(drives, qelvrin::findStandIn());
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        return 0;
    }

    QApplication::setWindowIcon(qelvrin::applicationIcon());
    qelvrin::QtDialogs dialogs;
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
        return 0;
    const qelvrin::TerminationSignals termination;
    QObject::connect(&termination, &qelvrin::TerminationSignals::received, &window, &qelvrin::Mainmenu::terminationRequested);
    FirstPaintReport firstPaint;
    if (qEnvironmentVariableIsSet("QELVRIN_REPORT_FIRST_PAINT"))
        window.installEventFilter(&firstPaint);
    window.show();
    return app->exec();
}
