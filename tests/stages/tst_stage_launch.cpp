#include "fake_stage_host.h"
#include "support/temp_drive.h"

#include "platform/run_marker.h"
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
        drive.installBatchProcessor("exit 0\n");
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
        QCOMPARE(QDir(drive.native(kInstallDir)).entryList(QDir::Files).filter(QStringLiteral("signal"), Qt::CaseInsensitive), QStringList());
        QCOMPARE(host.calls, QStringList({QStringLiteral("LockCommands"), QStringLiteral("Label4 ") + stage.programName, QStringLiteral("bar 0 white")}));
        QCOMPARE(runner.state().StageLetter, QString(letter));
        QCOMPARE(runner.state().ExpectedLogSize, stage.expectedLogSize);
        QVERIFY(runner.sasRunning());
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
        QCOMPARE(host.scripted.boxes(), QStringList{ScriptedDialogs::box(text, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("QELVRIN"))});
        QCOMPARE(host.callsFrom(QStringLiteral("message ") + text),
                 QStringList({QStringLiteral("message ") + text, QStringLiteral("RefreshStageCommands"), QStringLiteral("UnlockCommands")}));
        QVERIFY(!runner.Timer1().isActive());
        QCOMPARE(runner.state().StageLetter, QStringLiteral(" "));
        QCOMPARE(runner.state().SasTaskId, qint64(0));
        QCOMPARE(failed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStageLaunch)
#include "tst_stage_launch.moc"
