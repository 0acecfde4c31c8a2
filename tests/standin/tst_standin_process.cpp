// Runs the built stand-in on a temporary install directory, as the front
// end does. The batch runner's and end-to-end tests take its normal runs
// through all three stages; here are its log sizes and forced outcomes.

#include "support/file_writer.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::testing::readFile;

class TestStandinProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("signal");
        QTest::addColumn<int>("expectedLogSize"); // 0: a failure word instead
        const QString demo = QStringLiteral("diskettes/disk1/M12345.I01");
        QTest::newRow("data load") << "DLOADJCL" << demo << "normal" << 0 << true << 14800;
        QTest::newRow("initial assessment") << "IASMTJCL" << demo << "normal" << 0 << true << 6600;
        QTest::newRow("forced abend") << "IASMTJCL" << demo << "abend" << 1 << true << 0;
        QTest::newRow("exit without signal") << "IASMTJCL" << demo << "exit-nosignal" << 0 << false << 6600;
        QTest::newRow("malformed sample") << "IASMTJCL" << "malformed/M34567.I01" << "normal" << 1 << true << 0;
    }
    void run()
    {
        QFETCH(QString, job);
        QFETCH(QString, sample);
        QFETCH(QString, outcome);
        QFETCH(int, exitCode);
        QFETCH(bool, signal);
        QFETCH(int, expectedLogSize);
        QTemporaryDir dir;
        qelvrin::testing::writeFile(dir, QStringLiteral("QELVDATA"), readFile(QStringLiteral(QELVRIN_DEMO_DIR "/") + sample));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), QStringLiteral("0"));
        env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("QELVRIN_STANDIN"), {"-SYSIN", dir.filePath(job), "-LOG", dir.filePath(job + ".LOG"), "-PRINT",
                                                                 dir.filePath(QStringLiteral("REPORT.TXT"))});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("SIGNAL.TXT"))), signal);
        const QByteArray log = readFile(dir.filePath(job + ".LOG"));
        bool failureWord = false;
        for (const char* word : {"stopped", "memory", "not found", "aborted"})
            failureWord = failureWord || log.contains(word);
        QCOMPARE(failureWord, expectedLogSize == 0);
        if (expectedLogSize > 0)
            QVERIFY2(log.size() > expectedLogSize * 9 / 10 && log.size() <= expectedLogSize * 11 / 10, qPrintable(QString::number(log.size())));
    }
};

QTEST_GUILESS_MAIN(TestStandinProcess)
#include "tst_standin_process.moc"
