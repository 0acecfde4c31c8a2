#include "fake_stage_host.h"
#include "sas_install.h"
#include "support/temp_drive.h"

#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QSignalSpy>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// A launched stage whose ticks the test drives by hand.
struct RunningStage {
    explicit RunningStage(QChar letter) : stage(*stageByLetter(letter))
    {
        installQuietBatchProcessor(drive);
        if (letter == QChar('D')) {
            runner.setStageLogPath(stage.logPath);
            drive.write(stage.logPath, QByteArray());
            runner.RunDataLoadProgram();
        } else {
            runner.launchAssessment(letter);
        }
        runner.Timer1().stop();
        host.calls.clear();
    }

    void writeLog(const QByteArray& bytes) { drive.write(stage.logPath, bytes); }
    void signalEnd() { drive.write(QStringLiteral("\\QELVRIN\\Signal.txt"), QByteArray()); }

    const StageInfo& stage;
    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
};

} // namespace

class TestProgressMonitor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tick_setsBarFromLogSize_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("logSize");
        QTest::addColumn<int>("bar");
        QTest::addColumn<bool>("red");
        QTest::newRow("empty log") << QChar('I') << 0 << 0 << false;
        QTest::newRow("data load half") << QChar('D') << 7400 << 50 << false;
        QTest::newRow("full assessment half") << QChar('F') << 57000 << 50 << false;
        QTest::newRow("exactly expected") << QChar('I') << 6600 << 100 << false;
        QTest::newRow("one byte over") << QChar('I') << 6601 << 99 << true;
        QTest::newRow("half rounds up to even") << QChar('I') << 3003 << 46 << false;
        QTest::newRow("half rounds down to even") << QChar('I') << 2937 << 44 << false;
        QTest::newRow("tiny fraction") << QChar('F') << 1 << 0 << false;
    }
    void tick_setsBarFromLogSize()
    {
        QFETCH(QChar, letter);
        QFETCH(int, logSize);
        QFETCH(int, bar);
        QFETCH(bool, red);
        RunningStage run(letter);
        run.writeLog(QByteArray(logSize, 'x'));
        QSignalSpy progress(&run.runner, &StageRunner::progressChanged);

        run.runner.Timer1_Timer();

        QCOMPARE(run.runner.state().CurrentLogSize, logSize);
        QCOMPARE(run.runner.state().CompletionPercent.value_or(-1), double(logSize) / double(run.stage.expectedLogSize) * 100);
        QCOMPARE(run.host.bar, bar);
        QCOMPARE(run.host.barRed, red);
        QCOMPARE(progress.size(), 1);
        QCOMPARE(progress.first().at(1).toInt(), bar);
    }

    void tick_showsPanelOnlyWhileDisplayProgressChecked()
    {
        RunningStage run(QChar('I'));
        run.runner.Timer1_Timer();
        QVERIFY(run.host.panelVisible);
        run.host.progressChecked = false;
        run.runner.Timer1_Timer();
        QVERIFY(!run.host.panelVisible);
        run.host.progressChecked = true;
        run.runner.Timer1_Timer();
        QVERIFY(run.host.panelVisible);
    }

    void minimisedTick_titleFollowsBar_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("logSize");
        QTest::addColumn<QString>("caption");
        QTest::newRow("minimised at 7 percent") << true << 462 << "Inorganic PC-VQS 7%";
        QTest::newRow("minimised after overrun") << true << 7000 << "Inorganic PC-VQS 99%";
        QTest::newRow("normal window keeps its title") << false << 518 << "kept";
    }
    void minimisedTick_titleFollowsBar()
    {
        QFETCH(bool, minimised);
        QFETCH(int, logSize);
        QFETCH(QString, caption);
        RunningStage run(QChar('I'));
        run.host.caption = QStringLiteral("kept");
        run.host.minimised = minimised;
        run.writeLog(QByteArray(logSize, 'x'));
        run.runner.Timer1_Timer();
        QCOMPARE(run.host.caption, caption);
    }

    void overrun_staysRedUntilStageEnds()
    {
        RunningStage run(QChar('I'));
        run.writeLog(QByteArray(6601, 'x'));
        run.runner.Timer1_Timer();
        run.writeLog(QByteArray(3300, 'x'));
        run.runner.Timer1_Timer();
        QCOMPARE(run.host.bar, 50);
        QVERIFY(run.host.barRed);

        run.signalEnd();
        run.runner.Timer1_Timer();
        QCOMPARE(run.host.bar, 0);
        QVERIFY(!run.host.barRed);
    }

    void logVanishingMidRun_keepsPreviousPercentage()
    {
        RunningStage run(QChar('D'));
        run.writeLog(QByteArray(7400, 'x'));
        run.runner.Timer1_Timer();
        QFile::remove(run.drive.native(run.stage.logPath));
        run.host.calls.clear();
        run.host.minimised = true;

        run.runner.Timer1_Timer();

        QCOMPARE(run.runner.state().CompletionPercent.value_or(-1), 50.0);
        QCOMPARE(run.runner.state().CurrentLogSize, 7400);
        QCOMPARE(run.host.calls, QStringList({QStringLiteral("ShowProgressPanel"), QStringLiteral("caption Inorganic PC-VQS 50%")}));
        QVERIFY(run.runner.Timer1().interval() == 500);
    }

    void endSignal_runsEndSequenceInOrder()
    {
        RunningStage run(QChar('I'));
        run.writeLog("NOTE: all went well.\r\n");
        run.runner.Timer1().start();
        QStringList stateAtCall;
        run.host.onCall = [&](const QString& call) {
            stateAtCall << call + QStringLiteral(" | ") + run.runner.state().StageLetter + run.runner.state().StageLogPath
                               + (run.runner.Timer1().isActive() ? QStringLiteral(" timer") : QString());
        };
        QSignalSpy ended(&run.runner, &StageRunner::stageEnded);
        run.signalEnd();

        run.runner.Timer1_Timer();

        const QString log = QStringLiteral("I\\QELVRIN\\IASMTJCL.LOG");
        QCOMPARE(stateAtCall, QStringList({
                                  QStringLiteral("pause 50 | ") + log,
                                  QStringLiteral("HideProgressPanel | ") + log,
                                  QStringLiteral("message The Initial Assessment Program has successfully completed. | ") + log,
                                  QStringLiteral("done I | ") + log,
                                  QStringLiteral("bar 0 white | ") + log,
                                  QStringLiteral("RefreshStageCommands | ") + log,
                                  QStringLiteral("UnlockCommands |  \\QELVRIN\\IASMTJCL.LOG"),
                              }));
        const ScriptedDialogs::Call box = run.host.scripted.messages().first();
        QCOMPARE(box.icon, MsgIcon::None);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.title, QStringLiteral("QELVRIN"));
        QCOMPARE(run.runner.state().StageLetter, QStringLiteral(" "));
        QCOMPARE(run.runner.state().StageProgramName, QStringLiteral(" "));
        QCOMPARE(run.runner.state().StageLogPath, QStringLiteral(" "));
        QCOMPARE(run.runner.state().SasTaskId, qint64(0));
        QCOMPARE(run.runner.state().CompletionPercent.value_or(-1), 0.0);
        QVERIFY(!run.runner.sasRunning());
        QVERIFY(run.drive.exists(QStringLiteral("\\QELVRIN\\Signal.txt")));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().at(0).value<QChar>(), QChar('I'));
        QVERIFY(ended.first().at(1).value<CompletionVerdict>().normal);
    }

    void abnormalEnd_reportsAndOpensLogWhenOptionChecked_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<bool>("logOnAbend");
        QTest::addColumn<QString>("programName");
        QTest::newRow("full assessment, option checked") << QChar('F') << true << "Full Assessment Program";
        QTest::newRow("full assessment, option cleared") << QChar('F') << false << "Full Assessment Program";
        QTest::newRow("data load, option checked") << QChar('D') << true << "Data Load Program";
    }
    void abnormalEnd_reportsAndOpensLogWhenOptionChecked()
    {
        QFETCH(QChar, letter);
        QFETCH(bool, logOnAbend);
        QFETCH(QString, programName);
        RunningStage run(letter);
        run.host.logOnAbendChecked = logOnAbend;
        run.writeLog("NOTE: start\r\nERROR: Out of memory.\r\n");
        run.signalEnd();

        run.runner.Timer1_Timer();

        const QString text = QStringLiteral("The ") + programName
            + QStringLiteral(" has ended abnormally. Please check the SAS log from the view menu");
        const ScriptedDialogs::Call box = run.host.scripted.messages().first();
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.title, QStringLiteral("QELVRIN"));
        QStringList expected{QStringLiteral("message ") + text};
        if (logOnAbend)
            expected << QStringLiteral("openStageLog ") + letter;
        expected << QStringLiteral("done ") + letter;
        QCOMPARE(run.host.callsFrom(QStringLiteral("message ") + text).mid(0, expected.size()), expected);
    }

    void logThatCannotBeJudged_endsAbnormally_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::newRow("empty log") << "empty";
        QTest::newRow("log gone") << "gone";
        QTest::newRow("log is a directory") << "directory";
    }
    void logThatCannotBeJudged_endsAbnormally()
    {
        QFETCH(QString, setUp);
        RunningStage run(QChar('I'));
        run.host.logOnAbendChecked = false;
        const QString log = run.drive.native(run.stage.logPath);
        if (setUp != QLatin1String("empty"))
            QFile::remove(log);
        if (setUp == QLatin1String("directory"))
            QDir().mkpath(log);
        run.signalEnd();

        run.runner.Timer1_Timer();

        QCOMPARE(run.host.scripted.messages().size(), 1);
        QCOMPARE(run.host.scripted.messages().first().icon, MsgIcon::Critical);
        QVERIFY(run.host.calls.contains(QStringLiteral("done I")));
        QVERIFY(run.host.calls.endsWith(QStringLiteral("UnlockCommands")));
    }

    void endPause_defaultsToThreeSeconds()
    {
        const QByteArray saved = qgetenv("QELVRIN_END_PAUSE_MS");
        qunsetenv("QELVRIN_END_PAUSE_MS");
        QCOMPARE(endPauseMilliseconds(), 3000);
        qputenv("QELVRIN_END_PAUSE_MS", "not a number");
        QCOMPARE(endPauseMilliseconds(), 3000);
        qputenv("QELVRIN_END_PAUSE_MS", saved);
        QCOMPARE(endPauseMilliseconds(), 50);
    }
};

QTEST_GUILESS_MAIN(TestProgressMonitor)
#include "tst_progress_monitor.moc"
