#include "stages/job_record.h"

#include <QCoreApplication>
#include <QTest>

using namespace qelvrin;

class TestProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The close request reaching the whole job is the batch runner's test.
    // Notes that name no job of this boot, or a number someone else holds.
    void recordOfNoLivingJob_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("parses");
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
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
