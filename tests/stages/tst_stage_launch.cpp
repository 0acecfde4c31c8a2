#include "fake_stage_host.h"
#include "sas_install.h"
#include "support/temp_drive.h"

#include "platform/process.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

class TestStageLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void launchAssessment_preparesFilesAndStartsStage_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<QChar>("otherLetter");
        QTest::addColumn<QByteArray>("marker");
        QTest::newRow("initial assessment") << QChar('I') << QChar('F') << QByteArray("\"I.A. PROGRAM STARTED\"\r\n");
        QTest::newRow("full assessment") << QChar('F') << QChar('I') << QByteArray("\"F.A. PROGRAM STARTED\"\r\n");
    }
    void launchAssessment_preparesFilesAndStartsStage()
    {
        QFETCH(QChar, letter);
        QFETCH(QChar, otherLetter);
        QFETCH(QByteArray, marker);
        const StageInfo& stage = *stageByLetter(letter);
        const StageInfo& other = *stageByLetter(otherLetter);
        TempDrive drive;
        installQuietBatchProcessor(drive);
        drive.write(stage.logPath, "old log with stopped in it\r\n");
        drive.write(stage.reportPath, "old report\r\n");
        drive.write(other.logPath, "other log\r\n");
        drive.write(other.reportPath, "other report\r\n");
        drive.write(kMarkerPath, "\"NORMAL\"\r\n");
        drive.write(QStringLiteral("\\QELVRIN\\signal.txt"), "left over");
        drive.write(QStringLiteral("\\QELVRIN\\Signal.Txt"), "left over");

        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        QVERIFY(runner.launchAssessment(letter));

        QVERIFY(drive.exists(stage.logPath));
        QCOMPARE(drive.read(stage.logPath), QByteArray());
        QVERIFY(!drive.exists(stage.reportPath));
        QCOMPARE(drive.read(other.logPath), QByteArray("other log\r\n"));
        QCOMPARE(drive.read(other.reportPath), QByteArray("other report\r\n"));
        QCOMPARE(drive.read(kMarkerPath), marker);
        QCOMPARE(QDir(drive.native(kInstallDir)).entryList({QStringLiteral("*")}, QDir::Files, QDir::Name).filter(QStringLiteral("signal"), Qt::CaseInsensitive),
                 QStringList());

        QCOMPARE(host.calls, QStringList({QStringLiteral("LockCommands"), QStringLiteral("Label4 ") + stage.programName, QStringLiteral("bar 0 white")}));
        QCOMPARE(runner.state().StageLetter, QString(letter));
        QCOMPARE(runner.state().StageProgramName, stage.programName);
        QCOMPARE(runner.state().StageLogPath, stage.logPath);
        QCOMPARE(runner.state().ExpectedLogSize, stage.expectedLogSize);
        QVERIFY(runner.state().SasTaskId > 0);
        QVERIFY(runner.sasRunning());
        QVERIFY(runner.Timer1().isActive());
        QCOMPARE(runner.Timer1().interval(), 500);
        QVERIFY(!host.panelVisible);
        runner.Timer1().stop();
    }

    void RunDataLoadProgram_leavesPreparedLogAndUsesDataLoadValues()
    {
        TempDrive drive;
        installQuietBatchProcessor(drive);
        const StageInfo& load = *stageByLetter(QChar('D'));
        drive.write(load.logPath, "prepared by the data load");
        drive.write(kDataFilePath, "data\r\n");
        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        runner.setStageLogPath(load.logPath);

        QVERIFY(runner.RunDataLoadProgram());

        QCOMPARE(drive.read(load.logPath), QByteArray("prepared by the data load"));
        QCOMPARE(drive.read(kDataFilePath), QByteArray("data\r\n"));
        QCOMPARE(drive.read(kMarkerPath), QByteArray("\"LOAD PROGRAM STARTED\"\r\n"));
        QCOMPARE(host.calls, QStringList({QStringLiteral("LockCommands"), QStringLiteral("Label4 Data Load Program"), QStringLiteral("bar 0 white")}));
        QCOMPARE(runner.state().StageLetter, QStringLiteral("D"));
        QCOMPARE(runner.state().StageProgramName, QStringLiteral("Data Load Program"));
        QCOMPARE(runner.state().ExpectedLogSize, qint64(14800));
        QCOMPARE(runner.state().StageLogPath, load.logPath);
        QVERIFY(runner.Timer1().isActive());
        runner.Timer1().stop();
    }

    void batchProcessorNotStartable_reportsAndReturnsToIdle_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << "the file does not exist";
        QTest::newRow("not executable") << "plain" << "the file is not executable";
        QTest::newRow("a directory") << "directory" << "it is a directory";
    }
    void batchProcessorNotStartable_reportsAndReturnsToIdle()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, reason);
        TempDrive drive;
        if (setUp == QLatin1String("plain"))
            drive.write(kBatchProcessorPath, "#!/bin/sh\nexit 0\n");
        else if (setUp == QLatin1String("directory"))
            QDir().mkpath(drive.native(kBatchProcessorPath));
        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        QSignalSpy failed(&runner, &StageRunner::stageStartFailed);

        QVERIFY(!runner.launchAssessment(QChar('I')));

        const QString text = QStringLiteral("The SAS Software could not be started: \\SAS\\SAS.EXE (") + reason + QStringLiteral(")");
        QCOMPARE(host.scripted.messages().size(), 1);
        const ScriptedDialogs::Call box = host.scripted.messages().first();
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.title, QStringLiteral("QELVRIN"));
        QCOMPARE(host.callsFrom(QStringLiteral("message ") + text),
                 QStringList({QStringLiteral("message ") + text, QStringLiteral("RefreshStageCommands"), QStringLiteral("UnlockCommands")}));
        QVERIFY(!host.calls.contains(QStringLiteral("done I")));
        QVERIFY(!runner.Timer1().isActive());
        QCOMPARE(runner.state().StageLetter, QStringLiteral(" "));
        QCOMPARE(runner.state().StageProgramName, QStringLiteral(" "));
        QCOMPARE(runner.state().StageLogPath, QStringLiteral(" "));
        QCOMPARE(runner.state().SasTaskId, qint64(0));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).value<QChar>(), QChar('I'));
        QCOMPARE(failed.first().at(1).toString(), reason);
    }

    void CloseSasWindow_endsTheBatchRun()
    {
        TempDrive drive;
        drive.write(kBatchProcessorPath, "#!/bin/sh\nexec sleep 60\n");
        QFile::setPermissions(drive.native(kBatchProcessorPath), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        QVERIFY(runner.launchAssessment(QChar('I')));
        runner.Timer1().stop();
        const qint64 pid = runner.state().SasTaskId;
        QTRY_VERIFY(processAlive(pid));

        runner.CloseSasWindow();

        QTRY_VERIFY(!processAlive(pid));
    }
};

QTEST_GUILESS_MAIN(TestStageLaunch)
#include "tst_stage_launch.moc"
