// The built stand-in on a temporary install directory, as the front end runs it: a log's size, the
// forced outcomes, and files planted as links. The batch runner's tests take its normal runs.

#include "support/file_size_limit.h"
#include "support/file_writer.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using qelvrin::testing::readFile;

class TestStandinProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("fileLimit"); // bytes a file may reach, as on a disk that fills; 0: none
        QTest::addColumn<QString>("planted"); // a file another user replaced by a link to a victim's file
        QTest::newRow("normal") << "normal" << 0 << 0 << "";
        QTest::newRow("forced abend") << "abend" << 1 << 0 << "";
        QTest::newRow("forced end without the signal") << "exit-nosignal" << 0 << 0 << "";
        // The log is cut where the disk filled; the job says so in its exit.
        QTest::newRow("log on a full disk") << "normal" << 3 << 4096 << "";
        QTest::newRow("signal's text on a full disk") << "normal" << 3 << 8 << "";
        // Nothing is written through the link; the job says so in its exit.
        QTest::newRow("log a planted link") << "normal" << 3 << 0 << "IASMTJCL.LOG";
        QTest::newRow("report a planted link") << "normal" << 1 << 0 << "REPORT.TXT";
        QTest::newRow("end signal a planted link") << "normal" << 3 << 0 << "SIGNAL.TXT";
    }
    void run()
    {
        QFETCH(QString, outcome);
        QFETCH(int, exitCode);
        QFETCH(int, fileLimit);
        QFETCH(QString, planted);
        const QString job = QStringLiteral("IASMTJCL");
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim"));
        qelvrin::testing::writeFile(victim, "root's own\r\n");
        if (!planted.isEmpty())
            QVERIFY(QFile::link(victim, dir.filePath(planted)));
        qelvrin::testing::writeFile(dir, QStringLiteral("QELVDATA"), readFile(QStringLiteral(QELVRIN_DEMO_DIR "/diskettes/disk1/M12345.I01")));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), QStringLiteral("0"));
        env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
        QProcess process;
        process.setProcessEnvironment(env);
        {
            // The child keeps the limit it was started with.
            std::optional<qelvrin::testing::FileSizeLimit> full;
            if (fileLimit > 0)
                full.emplace(rlim_t(fileLimit));
            process.start(qEnvironmentVariable("QELVRIN_STANDIN"), {"-SYSIN", dir.filePath(job), "-LOG", dir.filePath(job + ".LOG"), "-PRINT",
                                                                     dir.filePath(QStringLiteral("REPORT.TXT"))});
        }
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(readFile(victim), QByteArray("root's own\r\n"));
        if (!planted.isEmpty())
            return;
        QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("SIGNAL.TXT"))), outcome != QLatin1String("exit-nosignal"));
        const QByteArray log = readFile(dir.filePath(job + ".LOG"));
        const bool anyWord = log.contains("stopped") || log.contains("memory") || log.contains("not found") || log.contains("aborted");
        QCOMPARE(anyWord, outcome == QLatin1String("abend"));
        if (fileLimit > 0) {
            QVERIFY(log.size() <= fileLimit && process.readAllStandardError().contains("qelvrin-sas: cannot write the "));
            return;
        }
        // The assessment log is about 6,600 bytes, so the bar moves through it.
        if (!anyWord)
            QVERIFY2(log.size() > 5900 && log.size() <= 7300, qPrintable(QString::number(log.size())));
    }
};

QTEST_GUILESS_MAIN(TestStandinProcess)
#include "tst_standin_process.moc"
