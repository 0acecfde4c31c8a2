#include "stages/stage_runner.h"
#include "support/file_writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;

class TestCompletionRules : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // A log that cannot be read, or is empty, proves nothing: abnormal, with
    // a reason and no failure line.
    void judgeLog_findsFirstFailureLine_data()
    {
        QTest::addColumn<QByteArray>("log"); // "<missing>", "<directory>": no readable file
        QTest::addColumn<bool>("normal");
        QTest::addColumn<qint64>("lineNumber");
        QTest::addColumn<QByteArray>("failureLine");
        QTest::newRow("clean log") << QByteArray("NOTE: a\r\nNOTE: b\r\n") << true << qint64(0) << QByteArray();
        QTest::newRow("word on last line without end") << QByteArray("NOTE: a\r\nNOTE: b\r\nrun aborted") << false << qint64(3)
                                                       << QByteArray("run aborted");
        QTest::newRow("first of several") << QByteArray("a\r\nnot found 1\r\nstopped 2\r\n") << false << qint64(2)
                                          << QByteArray("not found 1");
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb memory\r") << false << qint64(2) << QByteArray("b memory");
        QTest::newRow("memory in a note") << QByteArray("NOTE: 1024K of memory used.\r\n") << false << qint64(1)
                                          << QByteArray("NOTE: 1024K of memory used.");
        QTest::newRow("inside a longer word") << QByteArray("unstoppedly") << false << qint64(1) << QByteArray("unstoppedly");
        QTest::newRow("words run together") << QByteArray("notfound\r\n") << true << qint64(0) << QByteArray();
        QTest::newRow("word split by a line end") << QByteArray("not\r\nfound\r\n") << true << qint64(0) << QByteArray();
        QTest::newRow("other capitals only") << QByteArray("Stopped\r\nNOT FOUND\r\nABORTED\r\n") << true << qint64(0) << QByteArray();
        QTest::newRow("empty") << QByteArray("") << false << qint64(0) << QByteArray();
        QTest::newRow("missing") << QByteArray("<missing>") << false << qint64(0) << QByteArray();
        QTest::newRow("a directory") << QByteArray("<directory>") << false << qint64(0) << QByteArray();
    }
    void judgeLog_findsFirstFailureLine()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, normal);
        QFETCH(qint64, lineNumber);
        QFETCH(QByteArray, failureLine);
        QString path = m_dir.filePath(QStringLiteral("NONE.LOG"));
        if (log == "<directory>")
            QVERIFY(QDir().mkpath(path));
        else if (log != "<missing>")
            path = qelvrin::testing::writeFile(m_dir, QStringLiteral("STAGE.LOG"), log);
        const CompletionVerdict verdict = judgeLog(path);
        QCOMPARE(verdict.normal, normal);
        QCOMPARE(verdict.failureLineNumber, lineNumber);
        QCOMPARE(verdict.failureLine, failureLine);
        QCOMPARE(verdict.reason.isEmpty(), normal || lineNumber > 0);
    }

    void barPercent_roundsHalfToEvenAndCapsOverrun_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("bar");
        QTest::newRow("45.5") << 45.5 << 46;
        QTest::newRow("44.5") << 44.5 << 44;
        QTest::newRow("99.5") << 99.5 << 100;
        QTest::newRow("100") << 100.0 << 100;
        QTest::newRow("just above 100") << 100.0000001 << 99;
        QTest::newRow("6.76") << 500.0 / 7400 * 100 << 7;
    }
    void barPercent_roundsHalfToEvenAndCapsOverrun()
    {
        QFETCH(double, percent);
        QFETCH(int, bar);
        QCOMPARE(barPercent(percent), bar);
    }

    void generalNumber_writesUpToFifteenDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 50.0 << "50";
        QTest::newRow("fraction") << 45.5 << "45.5";
        QTest::newRow("repeating") << 500.0 / 7400 * 100 << "6.75675675675676";
    }
    void generalNumber_writesUpToFifteenDigits()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(generalNumber(value), text);
    }
};

QTEST_GUILESS_MAIN(TestCompletionRules)
#include "tst_completion_rules.moc"
