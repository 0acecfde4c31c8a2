#include "fake_stage_host.h"
#include "support/temp_drive.h"

#include "platform/process.h"
#include "stages/data_load.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

constexpr int kStageTimeoutMs = 60000;

// A drive with the stand-in as its batch processor and the demo SDG in C:\SDG.
struct StandInDrive {
    StandInDrive()
    {
        installed = drive.installStandIn();
        for (const QString& name : QDir(QStringLiteral(QELVRIN_DEMO_DIR "/sdg")).entryList(QDir::Files, QDir::Name)) {
            QFile file(QStringLiteral(QELVRIN_DEMO_DIR "/sdg/") + name);
            if (file.open(QIODevice::ReadOnly))
                drive.write(QStringLiteral("C:\\SDG\\") + name, file.readAll());
        }
    }
    ~StandInDrive()
    {
        runner.Timer1().stop();
        if (runner.sasRunning())
            runner.CloseSasWindow();
    }

    QByteArray sdgData() const
    {
        QByteArray all;
        for (const QString& name : QDir(drive.native(QStringLiteral("C:\\SDG"))).entryList(QDir::Files, QDir::Name))
            all += drive.read(QStringLiteral("C:\\SDG\\") + name);
        return all;
    }

    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
    bool installed = false;
};

// Sets a variable for the stand-in runs of one test.
struct ScopedEnv {
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name) { qputenv(name, value); }
    ~ScopedEnv() { qunsetenv(m_name); }
    const char* m_name;
};

} // namespace

class TestStageStandIn : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("QELVRIN_STANDIN_PACE_MS", "300"); }

    void dataLoadThenInitialAssessment_completeNormally()
    {
        StandInDrive run;
        QVERIFY2(run.installed, "the stand-in batch processor was not built");
        QSignalSpy ended(&run.runner, &StageRunner::stageEnded);
        run.host.scripted.queueFile(run.drive.native(QStringLiteral("C:\\SDG\\M23456.I01")));

        runDataLoadCommand(run.drive.drives(), run.host, run.runner);
        QVERIFY(run.runner.sasRunning());
        QVERIFY(ended.wait(kStageTimeoutMs));

        QVERIFY(ended.first().at(1).value<CompletionVerdict>().normal);
        QCOMPARE(run.host.scripted.messages().last().text, QStringLiteral("The Data Load Program has successfully completed."));
        QVERIFY(run.host.calls.contains(QStringLiteral("done D")));

        QVERIFY(run.runner.launchAssessment(QChar('I')));
        QVERIFY(ended.wait(kStageTimeoutMs));
        QCOMPARE(ended.last().at(0).value<QChar>(), QChar('I'));
        QVERIFY(ended.last().at(1).value<CompletionVerdict>().normal);
        QCOMPARE(run.host.scripted.messages().last().text, QStringLiteral("The Initial Assessment Program has successfully completed."));
        QVERIFY(run.drive.exists(QStringLiteral("\\QELVRIN\\SDEFECT.TXT")));
        QVERIFY(!run.runner.sasRunning());
        QCOMPARE(run.host.bar, 0);
    }

    void forcedAbend_reportsAbnormalEnd_opensLogOnlyWhenOptionChecked_data()
    {
        QTest::addColumn<bool>("logOnAbend");
        QTest::newRow("option checked") << true;
        QTest::newRow("option cleared") << false;
    }
    void forcedAbend_reportsAbnormalEnd_opensLogOnlyWhenOptionChecked()
    {
        QFETCH(bool, logOnAbend);
        StandInDrive run;
        run.host.logOnAbendChecked = logOnAbend;
        QVERIFY2(run.installed, "the stand-in batch processor was not built");
        run.drive.write(kDataFilePath, run.sdgData());
        const ScopedEnv outcome("QELVRIN_STANDIN_OUTCOME", "abend");
        QSignalSpy ended(&run.runner, &StageRunner::stageEnded);

        QVERIFY(run.runner.launchAssessment(QChar('F')));
        QVERIFY(ended.wait(kStageTimeoutMs));

        const CompletionVerdict verdict = ended.first().at(1).value<CompletionVerdict>();
        QVERIFY(!verdict.normal);
        QVERIFY(verdict.failureLineNumber > 0);
        QCOMPARE(run.host.scripted.boxes().last(),
                 ScriptedDialogs::box(QStringLiteral("The Full Assessment Program has ended abnormally. Please check the SAS log from the view menu"),
                                      MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("QELVRIN")));
        QCOMPARE(run.host.calls.contains(QStringLiteral("openStageLog F")), logOnAbend);
        QVERIFY(run.host.calls.contains(QStringLiteral("done F")));
    }

    void noEndSignal_keepsMonitoringUntilCloseRequestEndsBatchRun()
    {
        StandInDrive run;
        QVERIFY2(run.installed, "the stand-in batch processor was not built");
        run.drive.write(kDataFilePath, run.sdgData());
        const ScopedEnv outcome("QELVRIN_STANDIN_OUTCOME", "nosignal");
        QSignalSpy ended(&run.runner, &StageRunner::stageEnded);
        QSignalSpy progress(&run.runner, &StageRunner::progressChanged);

        QVERIFY(run.runner.launchAssessment(QChar('I')));
        const qint64 pid = run.runner.state().SasTaskId;
        // The stand-in has written its whole log and now waits without a signal.
        QTRY_VERIFY_WITH_TIMEOUT(run.runner.state().CurrentLogSize >= 6600 * 9 / 10, kStageTimeoutMs);
        QVERIFY(processAlive(pid));
        QVERIFY(run.runner.Timer1().isActive());
        QCOMPARE(ended.size(), 0);
        QVERIFY(progress.size() > 0);

        run.runner.CloseSasWindow();

        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
        QVERIFY(!run.drive.exists(kSignalPath));
        QVERIFY(run.runner.Timer1().isActive());
        QCOMPARE(ended.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStageStandIn)
#include "tst_stage_standin.moc"
