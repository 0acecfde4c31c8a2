#include "app/command_state.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
const QStringList kOutputs{"QELVDATA", "SDEFECT.TXT", "TDEFECT.TXT", "DLOADJCL.LOG", "IASMTJCL.LOG", "FASMTJCL.LOG"};

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

void writeOutputs(const TempDrive& drive)
{
    for (const QString& name : kOutputs)
        drive.write(QStringLiteral("\\QELVRIN\\") + name, "data\r\n");
}

int outputsOnDisk(const TempDrive& drive)
{
    int count = 0;
    for (const QString& name : kOutputs)
        count += drive.exists(QStringLiteral("\\QELVRIN\\") + name) ? 1 : 0;
    return count;
}

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
    void missingMarker_isCreatedOutputsKeptThenAbnormal()
    {
        TempDrive drive;
        writeOutputs(drive);
        Run run(drive);
        QVERIFY(run.start());
        QCOMPARE(run.calls, QStringList{"refresh"});
        QCOMPARE(outputsOnDisk(drive), 6);
        QCOMPARE(drive.read(kMarker), QByteArray("\"ABNORMAL\"\r\n"));
        QVERIFY(run.commands.isEnabled(QStringLiteral("mnuVTechnicalDefectLog")));
        QVERIFY(run.dialogs.calls().isEmpty());
    }

    void existingMarker_decidesThePurge_data()
    {
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<bool>("purged");
        QTest::newRow("quoted NORMAL") << QByteArray("\"NORMAL\"\r\n") << false;
        QTest::newRow("NORMAL without quotes") << QByteArray("NORMAL\r\n") << false;
        QTest::newRow("lower-case normal") << QByteArray("\"normal\"\r\n") << true;
        QTest::newRow("NORMAL with a blank in the quotes") << QByteArray("\"NORMAL \"\r\n") << true;
        QTest::newRow("ABNORMAL") << QByteArray("\"ABNORMAL\"\r\n") << true;
        QTest::newRow("a stage was running") << QByteArray("\"I.A. PROGRAM STARTED\"\r\n") << true;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("binary bytes") << QByteArray("\xfe\x00\x01\xff", 4) << true;
    }
    void existingMarker_decidesThePurge()
    {
        QFETCH(QByteArray, marker);
        QFETCH(bool, purged);
        TempDrive drive;
        writeOutputs(drive);
        drive.write(kMarker, marker);
        Run run(drive);
        QVERIFY(run.start());
        QCOMPARE(run.calls, (purged ? QStringList{"purge", "refresh"} : QStringList{"refresh"}));
        QCOMPARE(outputsOnDisk(drive), purged ? 0 : 6);
        QCOMPARE(drive.read(kMarker), QByteArray("\"ABNORMAL\"\r\n"));
    }

    void missingInstallDirectory_startsWithoutFailing()
    {
        TempDrive drive;
        QVERIFY(QDir(drive.native(QStringLiteral("\\QELVRIN"))).removeRecursively());
        Run run(drive);
        QVERIFY(run.start());
        QCOMPARE(run.calls, (QStringList{"purge", "refresh"}));
        QVERIFY(!run.commands.isEnabled(QStringLiteral("mnuDelete")));
    }

    void secondCopy_isRefusedAndLeavesMarkerUntouched()
    {
        TempDrive drive;
        writeOutputs(drive);
        const QByteArray marker("\"I.A. PROGRAM STARTED\"\r\n");
        drive.write(kMarker, marker);
        OtherCopy other(drive.root());
        QVERIFY(other.holdsLock());

        Run run(drive);
        QVERIFY(!run.start());
        QVERIFY(run.calls.isEmpty());
        QCOMPARE(run.dialogs.calls().size(), 1);
        const ScriptedDialogs::Call& box = run.dialogs.calls().constFirst();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(box.text, QStringLiteral("Cannot start more than one copy of the application"));
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.title, QStringLiteral("QELVRIN"));
        QCOMPARE(drive.read(kMarker), marker);
        QCOMPARE(outputsOnDisk(drive), 6);
    }

    void secondCopy_createsOnlyAMissingMarker()
    {
        TempDrive drive;
        OtherCopy other(drive.root());
        QVERIFY(other.holdsLock());
        Run run(drive);
        QVERIFY(!run.start());
        QCOMPARE(drive.read(kMarker), QByteArray("\"NORMAL\"\r\n"));
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
