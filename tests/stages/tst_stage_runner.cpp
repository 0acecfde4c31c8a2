#include "fake_stage_host.h"
#include "support/temp_drive.h"

#include "platform/run_marker.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// A launched stage whose ticks the test drives by hand.
struct RunningStage {
    explicit RunningStage(QChar letter) : stage(*stageByLetter(letter))
    {
        drive.installBatchProcessor("exit 0\n");
        if (letter == QChar('D')) {
            runner.setStageLogPath(stage.logPath);
            runner.RunDataLoadProgram();
        } else {
            runner.launchAssessment(letter);
        }
        runner.Timer1().stop();
        host.calls.clear();
    }

    void writeLog(const QByteArray& bytes) { drive.write(stage.logPath, bytes); }

    const StageInfo& stage;
    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
};

} // namespace

class TestStageRunner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only this stage's files are made ready: an empty log, no report, no
    // end signal whatever its name's case.
    void launchAssessment_preparesFilesAndStartsStage_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<QChar>("other");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<QString>("name");
        QTest::newRow("initial assessment") << QChar('I') << QChar('F') << QByteArray("\"I.A. PROGRAM STARTED\"\r\n") << "Initial Assessment Program";
        QTest::newRow("full assessment") << QChar('F') << QChar('I') << QByteArray("\"F.A. PROGRAM STARTED\"\r\n") << "Full Assessment Program";
    }
    void launchAssessment_preparesFilesAndStartsStage()
    {
        QFETCH(QChar, letter);
        QFETCH(QChar, other);
        QFETCH(QByteArray, marker);
        QFETCH(QString, name);
        const StageInfo& stage = *stageByLetter(letter);
        TempDrive drive;
        drive.installBatchProcessor("exit 0\n");
        for (const QString& path : {stage.logPath, stage.reportPath, stageByLetter(other)->reportPath, QStringLiteral("\\QELVRIN\\signal.txt"),
                                    QStringLiteral("\\QELVRIN\\Signal.Txt")})
            drive.write(path, "old\r\n");
        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        QVERIFY(runner.launchAssessment(letter));
        runner.Timer1().stop();
        QVERIFY(drive.exists(stage.logPath) && drive.read(stage.logPath).isEmpty());
        QVERIFY(!drive.exists(stage.reportPath));
        QCOMPARE(drive.read(stageByLetter(other)->reportPath), QByteArray("old\r\n"));
        QCOMPARE(drive.read(kMarkerPath), marker);
        QCOMPARE(QDir(drive.native(kInstallDir)).entryList(QDir::Files).filter(QStringLiteral("signal"), Qt::CaseInsensitive), QStringList());
        QCOMPARE(host.calls, QStringList({QStringLiteral("LockCommands"), QStringLiteral("Label4 ") + name, QStringLiteral("bar 0 white")}));
    }

    void batchProcessorNotStartable_reportsAndReturnsToIdle()
    {
        TempDrive drive;
        drive.write(kBatchProcessorPath, "#!/bin/sh\nexit 0\n"); // not executable
        FakeStageHost host;
        StageRunner runner(drive.drives(), host);
        QVERIFY(!runner.launchAssessment(QChar('I')));
        QVERIFY(host.calls.at(host.calls.size() - 3).startsWith(QStringLiteral("message The SAS Software could not be started: ")));
        QCOMPARE(host.calls.last(2), QStringList({QStringLiteral("RefreshStageCommands"), QStringLiteral("UnlockCommands")}));
        QVERIFY(!runner.Timer1().isActive());
        QCOMPARE(runner.state().StageLetter, QStringLiteral(" "));
    }

    // The bar shows the log's size against the expected one; while the
    // window is minimised its caption shows the bar too.
    void tick_setsBarFromLogSize_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("logSize");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("bar");
        QTest::addColumn<bool>("red");
        QTest::addColumn<QString>("caption");
        QTest::newRow("data load half") << QChar('D') << 7400 << false << 50 << false << "kept";
        QTest::newRow("minimised at 7 percent") << QChar('I') << 462 << true << 7 << false << "Inorganic PC-VQS 7%";
        QTest::newRow("one byte over") << QChar('I') << 6601 << true << 99 << true << "Inorganic PC-VQS 99%";
        QTest::newRow("full assessment at a quarter") << QChar('F') << 28500 << true << 25 << false << "Inorganic PC-VQS 25%";
    }
    void tick_setsBarFromLogSize()
    {
        QFETCH(QChar, letter);
        QFETCH(int, logSize);
        QFETCH(bool, minimised);
        QFETCH(int, bar);
        QFETCH(bool, red);
        QFETCH(QString, caption);
        RunningStage run(letter);
        run.host.caption = QStringLiteral("kept");
        run.host.minimised = minimised;
        run.writeLog(QByteArray(logSize, 'x'));

        run.runner.Timer1_Timer();

        QCOMPARE(run.host.bar, bar);
        QCOMPARE(run.host.barRed, red);
        QCOMPARE(run.host.caption, caption);
    }

    void logVanishingMidRun_keepsPreviousPercentage()
    {
        RunningStage run(QChar('D'));
        run.writeLog(QByteArray(7400, 'x'));
        run.runner.Timer1_Timer();
        QFile::remove(run.drive.native(run.stage.logPath));
        run.host.minimised = true;
        run.runner.Timer1_Timer();
        QCOMPARE(run.host.caption, QStringLiteral("Inorganic PC-VQS 50%"));
    }

    // The end sequence in order, with the stage letter and timer each step
    // sees: the stage counts as running until the commands are unlocked.
    void endSignal_runsEndSequenceInOrder_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<bool>("logOnAbend");
        QTest::newRow("normal end") << QByteArray("NOTE: all went well.\r\n") << true;
        QTest::newRow("abnormal end, log shown") << QByteArray("NOTE: a\r\nERROR: stopped\r\n") << true;
        QTest::newRow("abnormal end, option cleared") << QByteArray("NOTE: a\r\nERROR: stopped\r\n") << false;
    }
    void endSignal_runsEndSequenceInOrder()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, logOnAbend);
        RunningStage run(QChar('I'));
        run.host.logOnAbendChecked = logOnAbend;
        run.writeLog(log);
        run.runner.Timer1().start();
        QStringList seen;
        run.host.onCall = [&](const QString& call) {
            seen << call + u' ' + run.runner.state().StageLetter + (run.runner.Timer1().isActive() ? QStringLiteral(" timer") : QString());
        };
        run.drive.write(QStringLiteral("\\QELVRIN\\Signal.txt"), QByteArray());

        run.runner.Timer1_Timer();

        const bool normal = !log.contains("stopped");
        const QString text = normal ? QStringLiteral("The Initial Assessment Program has successfully completed.")
                                    : QStringLiteral("The Initial Assessment Program has ended abnormally. Please check the SAS log from the view menu");
        QStringList expected{"pause 50 I", "HideProgressPanel I", QStringLiteral("message %1 I").arg(text)};
        if (!normal && logOnAbend)
            expected << "openStageLog I I";
        expected << "done I I" << "bar 0 white I" << "RefreshStageCommands I" << "UnlockCommands  ";
        QCOMPARE(seen, expected);
        QCOMPARE(run.host.scripted.messages().first().icon, normal ? MsgIcon::None : MsgIcon::Critical);
        QVERIFY(!run.runner.sasRunning());
    }
};

QTEST_GUILESS_MAIN(TestStageRunner)
#include "tst_stage_runner.moc"
