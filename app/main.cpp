#include "app/mainmenu.h"
#include "dialogs/emblem.h"
#include "platform/drive_map.h"
#include "platform/drive_setup.h"
#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QELVRIN"));
    QApplication::setApplicationVersion(QStringLiteral("1.6"));
    QApplication::setWindowIcon(qelvrin::applicationIcon());

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
    parser.process(app);

    const qelvrin::DriveMap drives = qelvrin::DriveMap::fromOptions(parser.value(drive), parser.value(driveA), parser.value(driveB));
    qelvrin::QtDialogs dialogs;

    if (parser.isSet(setupDrive)) {
        const qelvrin::DriveSetupResult result = qelvrin::setUpDrive(drives, qelvrin::findStandIn());
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        return 0;
    }

    const qelvrin::DriveSetupResult setup = qelvrin::setUpDriveIfNew(drives, qelvrin::findStandIn());
    if (!setup.ok)
        dialogs.message({setup.error, qelvrin::MsgIcon::Exclamation, qelvrin::MsgButtons::Ok, QStringLiteral("QELVRIN")});
    // As the installed shortcut did: the relative settings name then means
    // the install directory's file.
    if (QFileInfo(drives.installDir()).isDir())
        QDir::setCurrent(drives.installDir());

    // The viewer's fallback file name; the viewer takes it up once it exists.
    const QString fallbackFile = parser.positionalArguments().join(QLatin1Char(' '));
    qelvrin::Mainmenu window(drives, dialogs, [fallbackFile](const QString&) {});
    dialogs.setParent(&window);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
