#include "platform/job_record.h"
#include "platform/process.h"
#include "support/temp_drive.h"

#include <QScopeGuard>
#include <QTest>

#include <csignal>

using namespace qelvrin;
using qelvrin::testing::TempDrive;

class TestProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Real jobs: the close request ends every process of the job, and the job
    // counts as running until the last of them has ended.
    void closeRequest_reachesTheWholeJob_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("processor that execs") << QByteArray("exec sleep 60\n");
        QTest::newRow("wrapper without exec") << QByteArray("sleep 60\ntrue\n");
        QTest::newRow("child outlives the processor") << QByteArray("sleep 60 &\nexit 0\n");
    }
    void closeRequest_reachesTheWholeJob()
    {
        QFETCH(QByteArray, script);
        TempDrive drive;
        drive.installBatchProcessor(script);
        const ProcessStart started = startDetached(drive.drives(), QStringLiteral("\\SAS\\SAS.EXE"), drive.native(kInstallDir));
        QVERIFY2(started.job.isValid(), qPrintable(started.error));
        QVERIFY(jobRunning(started.job));
        const auto killJob = qScopeGuard([&] {
            if (jobRunning(started.job))
                ::kill(-pid_t(started.job.session), SIGKILL);
        });

        // The job as a later run finds it on the drive.
        QString error;
        QVERIFY(writeJobRecord(drive.native(QStringLiteral("\\QELVRIN\\JOB")), started.job, &error));
        const std::optional<BatchJob> recorded = readJobRecord(drive.native(QStringLiteral("\\QELVRIN\\JOB")));
        QVERIFY(recorded && recorded->pid == started.job.pid && recorded->startTicks == started.job.startTicks);
        QVERIFY(jobRunning(*recorded));

        sendCloseRequest(started.job);
        QTRY_VERIFY_WITH_TIMEOUT(!jobRunning(*recorded), 20000);
    }

    // Notes that name no job of this boot, or a number someone else holds.
    void recordOfNoLivingJob_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("parses");
        const QByteArray self = QByteArray::number(::getpid());
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("words") << QByteArray("pid session\r\n") << false;
        QTest::newRow("our own process as leader, other start") << QByteArray(self + ' ' + self + " 1 -\r\n") << true;
        QTest::newRow("another boot") << QByteArray(self + ' ' + self + " 1 0-0-0\r\n") << true;
    }
    void recordOfNoLivingJob()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, parses);
        const std::optional<BatchJob> job = parseJobRecord(record);
        QCOMPARE(job.has_value(), parses);
        if (job)
            QVERIFY(!jobRunning(*job));
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
