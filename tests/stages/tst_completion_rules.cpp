#include "stages/stage_runner.h"
#include "support/file_writer.h"
#include "support/system_setup.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;

class TestCompletionRules : public QObject {
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
            QVERIFY(qelvrin::testing::os::makeFifo(path = m_dir.filePath(QStringLiteral("FIFO.LOG"))));
        else
            path = qelvrin::testing::writeFile(m_dir, QStringLiteral("STAGE.LOG"), log);
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
};

QTEST_GUILESS_MAIN(TestCompletionRules)
#include "tst_completion_rules.moc"
