#include "fake_stage_host.h"
#include "support/temp_drive.h"

#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QFile>
#include <QSignalSpy>
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
        QTest::newRow("exactly expected") << QChar('I') << 6600 << 100 << false;
        QTest::newRow("one byte over") << QChar('I') << 6601 << 99 << true;
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

    void minimisedTick_titleFollowsBar_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("logSize");
        QTest::addColumn<QString>("caption");
        QTest::newRow("minimised at 7 percent") << true << 462 << "Inorganic PC-VQS 7%";
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
        QCOMPARE(run.host.scripted.boxes().first(),
                 ScriptedDialogs::box(QStringLiteral("The Initial Assessment Program has successfully completed."), MsgIcon::None,
                                      MsgButtons::Ok, QStringLiteral("QELVRIN")));
        QCOMPARE(run.runner.state().SasTaskId, qint64(0));
        QVERIFY(!run.runner.sasRunning());
        QCOMPARE(ended.size(), 1);
        QVERIFY(ended.first().at(1).value<CompletionVerdict>().normal);
    }
};

QTEST_GUILESS_MAIN(TestProgressMonitor)
#include "tst_progress_monitor.moc"
