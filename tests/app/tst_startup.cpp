#include "app/command_state.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <csignal>

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

// Another copy of the program holding the drive's lock.
class OtherCopy {
public:
    explicit OtherCopy(const QString& root)
    {
        m_process.setProgram(QStringLiteral(QELVRIN_LOCK_HOLDER));
        m_process.setArguments({root});
        m_process.start();
    }
    ~OtherCopy() { kill(); }

    bool holdsLock()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000))
                return false;
        }
        return m_process.readLine().trimmed() == "locked";
    }
    void kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
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

    void secondCopy_isRefusedAndLeavesMarkerUntouched()
    {
        TempDrive drive;
        drive.writeInstalled(kOutputs);
        const QByteArray marker("\"I.A. PROGRAM STARTED\"\r\n");
        drive.write(kMarker, marker);
        OtherCopy other(drive.root());
        QVERIFY(other.holdsLock());

        Run run(drive);
        QVERIFY(!run.start());
        QVERIFY(run.calls.isEmpty());
        QCOMPARE(run.dialogs.calls().size(), 1);
        QCOMPARE(run.dialogs.boxes(), QStringList{ScriptedDialogs::box(QStringLiteral("Cannot start more than one copy of the application"),
                                                                        MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("QELVRIN"))});
        QCOMPARE(drive.read(kMarker), marker);
        QCOMPARE(drive.countInstalled(kOutputs), 6);
    }

    void lockOfAKilledCopy_isTakenOver()
    {
        TempDrive drive;
        OtherCopy other(drive.root());
        QVERIFY(other.holdsLock());
        other.kill();
        Run run(drive);
        QVERIFY(run.start());
        QVERIFY(run.dialogs.calls().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
