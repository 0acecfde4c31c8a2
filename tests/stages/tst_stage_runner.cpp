#include "fake_stage_host.h"
#include "support/system_setup.h"
#include "support/temp_drive.h"

#include "platform/process.h"
#include "stages/run_marker.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

    QTemporaryDir m_dir;

private Q_SLOTS:
    // A log that cannot be read, or is empty, proves nothing: abnormal, with a reason and no failure line. Which line fails is
    // the fuzz replay's.
    void judgeLog_findsFirstFailureLine_data()
    {
        QTest::addColumn<QByteArray>("log"); // "<directory>", "<fifo>": no readable file
        QTest::addColumn<bool>("normal");
        QTest::addColumn<qint64>("lineNumber");
        QTest::addColumn<QByteArray>("failureLine");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<qsizetype>("bufferSize");
        const qsizetype usual = 1 << 20;
        const QByteArray longLine = QByteArray(1995, 'x') + "aborted" + QByteArray(3000, 'y');
        QTest::newRow("first of several") << QByteArray("a\r\nnot found 1\r\nstopped 2\r\n") << false << qint64(2)
                                          << QByteArray("not found 1") << false << usual;
        QTest::newRow("empty") << QByteArray("") << false << qint64(0) << QByteArray() << false << usual;
        QTest::newRow("a directory") << QByteArray("<directory>") << false << qint64(0) << QByteArray() << false << usual;
        QTest::newRow("FIFO") << QByteArray("<fifo>") << false << qint64(0) << QByteArray() << false << usual;
        QTest::newRow("word beyond the kept bytes") << "ok\r\n" + longLine + "\r\n" << false << qint64(2) << longLine.first(1000) << true << usual;
        QTest::newRow("kept bytes exactly") << QByteArray(993, 'x') + "stopped\r\n" << false << qint64(1) << QByteArray(993, 'x') + "stopped"
                                            << false << usual;
        QTest::newRow("word split between pieces") << QByteArray(14, 'x') + "not found" + QByteArray(40, 'y') << false << qint64(1)
                                                   << QByteArray(14, 'x') + "not found" + QByteArray(40, 'y') << false << qsizetype(16);
        QTest::newRow("long line without a word") << QByteArray(100000, 'n') + "\r\nfine" << true << qint64(0) << QByteArray() << false
                                                  << qsizetype(16);
    }
    void judgeLog_findsFirstFailureLine()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, normal);
        QFETCH(qint64, lineNumber);
        QFETCH(QByteArray, failureLine);
        QFETCH(bool, cut);
        QFETCH(qsizetype, bufferSize);
        QString path = m_dir.filePath(QStringLiteral("NONE.LOG"));
        if (log == "<directory>")
            QVERIFY(QDir().mkpath(path));
        else if (log == "<fifo>") // nothing writes it: an open that waits would wait for ever
            QVERIFY(os::makeFifo(path = m_dir.filePath(QStringLiteral("FIFO.LOG"))));
        else
            path = writeFile(m_dir, QStringLiteral("STAGE.LOG"), log);
        const CompletionVerdict verdict = judgeLog(path, bufferSize);
        QCOMPARE(verdict.normal, normal);
        QCOMPARE(verdict.failureLineNumber, lineNumber);
        QCOMPARE(verdict.failureLine, failureLine);
        QCOMPARE(verdict.failureLineCut, cut);
        QCOMPARE(verdict.reason.isEmpty(), normal || lineNumber > 0);
    }

    // The bar rounds half to even and never shows 100 for an overrun; the minimised caption writes the percentage with up to 15
    // digits.
    void percent_barAndCaptionNumber_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("text");
        QTest::newRow("45.5") << 45.5 << 46 << "45.5";
        QTest::newRow("44.5") << 44.5 << 44 << "44.5";
        QTest::newRow("99.5") << 99.5 << 100 << "99.5";
        QTest::newRow("100") << 100.0 << 100 << "100";
        QTest::newRow("just above 100") << 100.0000001 << 99 << "100.0000001";
        QTest::newRow("6.76") << 500.0 / 7400 * 100 << 7 << "6.75675675675676";
    }
    void percent_barAndCaptionNumber()
    {
        QFETCH(double, percent);
        QFETCH(int, bar);
        QFETCH(QString, text);
        QCOMPARE(barPercent(percent), bar);
        QCOMPARE(generalNumber(percent), text);
    }

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
