// Runs the built stand-in on a temporary install directory, as the front
// end does, and reads back what it leaves there.

#include "support/file_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::testing::readFile;

namespace {

const QByteArray kSessionEnd("NOTE: The batch session has ended.\r\n");

// CR LF lines; any other line end fails the calling test.
QByteArrayList crlfLines(const QByteArray& bytes)
{
    QByteArrayList lines = bytes.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.chopped(1).contains('\r'))
            qFatal("line without CR LF: %s", line.constData());
        line.chop(1);
    }
    return lines;
}

bool holdsFailureWord(const QByteArray& log)
{
    for (const char* word : {"stopped", "memory", "not found", "aborted"}) {
        if (log.contains(word))
            return true;
    }
    return false;
}

// An install directory whose data file holds a demo file, or the files of a
// demo folder, and the stand-in's run of a job on it.
struct Run {
    Run(const QString& job, const QString& demo)
    {
        const QDir folder(QStringLiteral(QELVRIN_DEMO_DIR "/") + demo);
        QByteArray data = readFile(folder.path());
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            data += readFile(folder.filePath(name));
        qelvrin::testing::writeFile(dir, QStringLiteral("QELVDATA"), data);
        arguments = QStringList{"-SYSIN", path(job), "-LOG", path(job + ".LOG")};
        if (job != QLatin1String("DLOADJCL"))
            arguments << "-PRINT" << path(job == QLatin1String("IASMTJCL") ? "SDEFECT.TXT" : "TDEFECT.TXT");
    }

    void start(const QString& outcome)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), QStringLiteral("0"));
        env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("QELVRIN_STANDIN"), arguments);
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray log() const { return readFile(arguments.at(3)); }
    bool hasSignal() const { return QFileInfo::exists(path(QStringLiteral("SIGNAL.TXT"))); }

    QTemporaryDir dir;
    QStringList arguments;
    QProcess process;
};

} // namespace

class TestStandinProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("failureWord");
        QTest::addColumn<bool>("signal");
        QTest::addColumn<int>("expectedLogSize"); // 0: not checked
        const QString demo = QStringLiteral("diskettes/disk1/M12345.I01");
        QTest::newRow("data load") << "DLOADJCL" << demo << "normal" << 0 << false << true << 14800;
        QTest::newRow("initial assessment") << "IASMTJCL" << demo << "normal" << 0 << false << true << 6600;
        QTest::newRow("full assessment") << "FASMTJCL" << "diskettes/disk1" << "normal" << 0 << false << true << 114000;
        QTest::newRow("forced abend") << "IASMTJCL" << demo << "abend" << 1 << true << true << 0;
        QTest::newRow("exit without signal") << "IASMTJCL" << demo << "exit-nosignal" << 0 << false << false << 0;
        QTest::newRow("malformed sample") << "IASMTJCL" << "malformed/M34567.I01" << "normal" << 1 << true << true << 0;
    }
    void run()
    {
        QFETCH(QString, job);
        QFETCH(QString, sample);
        QFETCH(QString, outcome);
        QFETCH(int, exitCode);
        QFETCH(bool, failureWord);
        QFETCH(bool, signal);
        QFETCH(int, expectedLogSize);
        Run run(job, sample);
        run.start(outcome);
        QVERIFY(run.process.waitForFinished(60000));
        QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.process.exitCode(), exitCode);
        QCOMPARE(run.hasSignal(), signal);
        const QByteArray log = run.log();
        QCOMPARE(holdsFailureWord(log), failureWord);
        if (expectedLogSize == 0)
            return;
        QVERIFY2(log.size() > expectedLogSize * 9 / 10 && log.size() <= expectedLogSize * 11 / 10, qPrintable(QString::number(log.size())));
        QVERIFY(crlfLines(log).size() > 1 && log.endsWith(kSessionEnd));
        if (job != QLatin1String("FASMTJCL"))
            return;
        // The report: pages of 60 lines 133 columns wide, a form feed
        // starting each page after the first.
        QList<int> pageLengths{0};
        qsizetype widest = 0;
        for (QByteArray line : crlfLines(readFile(run.arguments.last()))) {
            if (line.startsWith('\f') && pageLengths.last() > 0)
                pageLengths.append(0);
            line.remove(0, line.startsWith('\f') ? 1 : 0);
            QVERIFY2(!line.contains('\f'), "a form feed only starts a page");
            widest = std::max(widest, line.size());
            ++pageLengths.last();
        }
        QCOMPARE(widest, 133);
        QVERIFY(pageLengths.size() >= 2 && pageLengths.last() <= 60);
        QCOMPARE(pageLengths.mid(0, pageLengths.size() - 1), QList<int>(pageLengths.size() - 1, 60));
    }
};

QTEST_GUILESS_MAIN(TestStandinProcess)
#include "tst_standin_process.moc"
