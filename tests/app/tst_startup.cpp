#include "app/command_state.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
const QStringList& kOutputs = qelvrin::testing::kStageOutputNames;

// Runs the start-up sequence against a real command state and records the
// order of the command procedures.
struct Run {
    explicit Run(const TempDrive& drive) : drive(drive), guard(drive.root()) {}

    bool start()
    {
        return runStartup(drive.drives(), guard, dialogs,
                          {[this] { calls << "purge"; commands.PurgeStageData(drive.drives()); },
                           [this] { calls << "refresh"; commands.RefreshStageCommands(drive.drives()); }});
    }

    const TempDrive& drive;
    SingleInstanceGuard guard;
    ScriptedDialogs dialogs;
    CommandState commands;
    QStringList calls;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void existingMarker_decidesThePurge_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<bool>("purged");
        QTest::newRow("no marker yet") << "SHUTDOWN.DAT" << QByteArray() << false;
        QTest::newRow("quoted NORMAL") << "SHUTDOWN.DAT" << QByteArray("\"NORMAL\"\r\n") << false;
        QTest::newRow("lower-case normal") << "SHUTDOWN.DAT" << QByteArray("\"normal\"\r\n") << true;
        QTest::newRow("a stage was running") << "SHUTDOWN.DAT" << QByteArray("\"I.A. PROGRAM STARTED\"\r\n") << true;
        QTest::newRow("lower-case name, unclean") << "shutdown.dat" << QByteArray("\"ABNORMAL\"\r\n") << true;
        QTest::newRow("mixed-case name, clean") << "Shutdown.Dat" << QByteArray("\"NORMAL\"\r\n") << false;
    }
    void existingMarker_decidesThePurge()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, marker);
        QFETCH(bool, purged);
        TempDrive drive;
        drive.writeInstalled(kOutputs);
        if (!marker.isNull())
            drive.writeInstalled({name}, marker);
        Run run(drive);
        QVERIFY(run.start());
        QCOMPARE(run.calls, (purged ? QStringList{"purge", "refresh"} : QStringList{"refresh"}));
        QCOMPARE(drive.countInstalled(kOutputs), purged ? 0 : 6);
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\") + name), QByteArray("\"ABNORMAL\"\r\n"));
        QCOMPARE(QDir(drive.native(QStringLiteral("\\QELVRIN"))).entryList({QStringLiteral("shutdown.dat")}, QDir::Files), QStringList{name});
        QCOMPARE(run.commands.isEnabled(QStringLiteral("mnuVTechnicalDefectLog")), !purged);
        QVERIFY(run.dialogs.calls().isEmpty());
    }

    // Another copy of the program, a child process here, holds the drive's
    // lock: this start is refused and changes nothing; once that copy is
    // killed, its lock is taken over.
    void secondCopy_isRefusedUntilTheFirstIsKilled()
    {
        TempDrive drive;
        drive.writeInstalled(kOutputs);
        const QByteArray marker("\"I.A. PROGRAM STARTED\"\r\n");
        drive.write(kMarker, marker);
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t other = ::fork();
        if (other == 0) {
            SingleInstanceGuard guard(drive.root());
            const char locked = guard.tryAcquire() ? 'y' : 'n';
            [[maybe_unused]] const ssize_t written = ::write(ready[1], &locked, 1);
            for (;;)
                ::pause();
        }
        char locked = 0;
        const ssize_t read = ::read(ready[0], &locked, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        Run refused(drive);
        const bool started = refused.start();
        ::kill(other, SIGKILL);
        ::waitpid(other, nullptr, 0);
        QVERIFY(read == 1 && locked == 'y');
        QVERIFY(!started);
        QVERIFY(refused.calls.isEmpty());
        QCOMPARE(refused.dialogs.boxes(), QStringList{ScriptedDialogs::box(QStringLiteral("Cannot start more than one copy of the application"),
                                                                            MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("QELVRIN"))});
        QCOMPARE(drive.read(kMarker), marker);

        Run run(drive);
        QVERIFY(run.start());
        QCOMPARE(run.calls, (QStringList{"purge", "refresh"}));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
