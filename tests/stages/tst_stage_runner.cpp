#include "fake_stage_host.h"
#include "support/temp_drive.h"

#include "platform/process.h"
#include "stages/run_marker.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <utility>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// A stage launched on a drive holding `oldFiles`, whose ticks the test drives by hand; its job runs until the close request.
struct RunningStage {
    explicit RunningStage(QChar letter, const QStringList& oldFiles = {}) : stage(*stageByLetter(letter))
    {
        drive.installBatchProcessor("exec sleep 60\n");
        for (const QString& path : oldFiles)
            drive.write(path, "old\r\n");
        runner.setStageLogPath(stage.logPath);
        launched = letter == QChar('D') ? runner.RunDataLoadProgram() : runner.launchAssessment(letter);
        runner.Timer1().stop();
        launchCalls = std::exchange(host.calls, {});
    }
    ~RunningStage() { runner.CloseSasWindow(); }

    void writeLog(const QByteArray& bytes) { drive.write(stage.logPath, bytes); }

    const StageInfo& stage;
    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
    bool launched = false;
    QStringList launchCalls;
};

} // namespace

class TestStageRunner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only this stage's files are made ready: an empty log, no report, no end signal whatever its name's case.
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
        const RunningStage run(letter, {stage.logPath, stage.reportPath, stageByLetter(other)->reportPath, "\\QELVRIN\\signal.txt", "\\QELVRIN\\Signal.Txt"});
        QVERIFY(run.launched && run.drive.exists(stage.logPath) && run.drive.read(stage.logPath).isEmpty() && !run.drive.exists(stage.reportPath));
        QCOMPARE(run.drive.read(stageByLetter(other)->reportPath), QByteArray("old\r\n"));
        QCOMPARE(run.drive.read(kMarkerPath), marker);
        QCOMPARE(QDir(run.drive.native(kInstallDir)).entryList(QDir::Files).filter(QStringLiteral("signal"), Qt::CaseInsensitive), QStringList());
        QCOMPARE(run.launchCalls, QStringList({QStringLiteral("LockCommands"), QStringLiteral("Label4 ") + name, QStringLiteral("bar 0 white")}));
    }

    // The bar shows the log's size against the expected one; while the window is minimised its caption shows the bar too. A log
    // that cannot be measured (size -1: gone after a tick at half) keeps the bar.
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
        QTest::newRow("log gone") << QChar('D') << -1 << true << 50 << false << "Inorganic PC-VQS 50%";
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
        run.writeLog(QByteArray(logSize < 0 ? 7400 : logSize, 'x'));
        if (logSize < 0) {
            run.runner.Timer1_Timer();
            QFile::remove(run.drive.native(run.stage.logPath));
        }
        run.runner.Timer1_Timer();

        QCOMPARE(run.host.bar, bar);
        QCOMPARE(run.host.barRed, red);
        QCOMPARE(run.host.caption, caption);
    }

    // The end sequence in order, with the stage letter and timer each step sees: the stage counts as running until the commands
    // are unlocked. A job whose processes have all gone without the end signal ends the stage abnormally after the pause, without
    // the "(Done)" mark; a signal that comes in that pause still counts. A job that runs keeps the monitor waiting.
    void stageEnd_runsEndSequenceInOrder_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<bool>("logOnAbend");
        QTest::addColumn<QString>("end"); // "signal", "job gone", "signal in the pause", "job runs"
        const QByteArray fine("NOTE: all went well.\r\n");
        const QByteArray stopped("NOTE: a\r\nERROR: stopped\r\n");
        QTest::newRow("normal end") << fine << true << "signal";
        QTest::newRow("abnormal end, log shown") << stopped << true << "signal";
        QTest::newRow("abnormal end, option cleared") << stopped << false << "signal";
        QTest::newRow("job gone without the signal") << fine << true << "job gone";
        QTest::newRow("job gone, option cleared") << fine << false << "job gone";
        QTest::newRow("job gone, signal in the pause") << fine << true << "signal in the pause";
        QTest::newRow("job runs") << fine << true << "job runs";
    }
    void stageEnd_runsEndSequenceInOrder()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, logOnAbend);
        QFETCH(QString, end);
        RunningStage run(QChar('I'));
        run.host.logOnAbendChecked = logOnAbend;
        run.writeLog(log);
        run.runner.Timer1().start();
        QStringList seen;
        const QString signal = QStringLiteral("\\QELVRIN\\Signal.txt");
        run.host.onCall = [&](const QString& call) {
            seen << call + u' ' + run.runner.state().StageLetter + (run.runner.Timer1().isActive() ? QStringLiteral(" timer") : QString());
            if (call.startsWith(QStringLiteral("pause")) && end == QLatin1String("signal in the pause"))
                run.drive.write(signal, QByteArray());
        };
        if (end == QLatin1String("signal"))
            run.drive.write(signal, QByteArray());
        if (end.startsWith(QLatin1String("job gone")) || end == QLatin1String("signal in the pause"))
            run.runner.CloseSasWindow();
        QTRY_VERIFY(jobRunning(run.runner.job()) == (end == "signal" || end == "job runs"));
        run.runner.Timer1_Timer();

        if (end == QLatin1String("job runs")) {
            QVERIFY(run.runner.sasRunning() && run.runner.Timer1().isActive() && run.host.scripted.messages().isEmpty());
            return;
        }
        const bool gone = end == QLatin1String("job gone");
        const bool normal = !log.contains("stopped") && !gone;
        const QString text = normal ? QStringLiteral("The Initial Assessment Program has successfully completed.")
                             : gone ? QStringLiteral("The Initial Assessment Program has ended without its end signal. Please check the SAS log from the view menu")
                                    : QStringLiteral("The Initial Assessment Program has ended abnormally. Please check the SAS log from the view menu");
        QStringList expected{"pause 50 I", "HideProgressPanel I", QStringLiteral("message %1 I").arg(text)};
        if (!normal && logOnAbend)
            expected << "openStageLog I I";
        if (!gone)
            expected << "done I I";
        expected << "bar 0 white I" << "RefreshStageCommands I" << "UnlockCommands  ";
        QCOMPARE(seen, expected);
        QVERIFY(run.host.scripted.messages().first().icon == (normal ? MsgIcon::None : MsgIcon::Critical) && run.host.scripted.messages().first().title == "QELVRIN");
        QVERIFY(!run.runner.sasRunning());
    }
};

QTEST_GUILESS_MAIN(TestStageRunner)
#include "tst_stage_runner.moc"
